// The component base: ownership, names, state, and string lists.
#pragma once
#include "vcl/win.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "rtl/errors.h"
#include "vcl/objectmemory.h"

namespace vcl {

class TObject {
public:
    NORVIX_OBJECT_MEMORY
    virtual ~TObject() = default;
    // The class name the skin engine matches against its class lists.
    virtual const char* ClassName() const { return "TObject"; }
};

using TNotifyEvent = std::function<void(TObject* Sender)>;

// An event handler made from a method of a window class:
// Button1->OnClick = Bind(this, &TForm1::Button1Click).
template <class C, class... A>
auto Bind(C* object, void (C::*method)(A...)) {
    return [object, method](A... args) { (object->*method)(args...); };
}

// A list index outside the list.
class EListError : public rtl::ERuntimeError {
public:
    explicit EListError(int index);
};

enum TOperation { opInsert, opRemove };

enum TComponentStateFlag : unsigned {
    csLoading = 1,      // being declared; ends when its form has been built
    csReading = 2,
    csWriting = 4,
    csDestroying = 8,
    csDesigning = 16,   // never set: there is no designer
};

// Owns the components created with it as owner and frees them with itself.
class TComponent : public TObject {
public:
    explicit TComponent(TComponent* owner);
    ~TComponent() override;
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;
    const char* ClassName() const override { return "TComponent"; }

    TComponent* Owner() const { return owner_; }
    const std::string& Name() const { return name_; }
    void SetName(const std::string& value) { name_ = value; }
    intptr_t Tag() const { return tag_; }
    void SetTag(intptr_t value) { tag_ = value; }
    unsigned ComponentState() const { return state_; }

    int ComponentCount() const { return static_cast<int>(components_.size()); }
    TComponent* Components(int index) const;
    // Owned component by name, compared without regard to case; nullptr when none.
    TComponent* FindComponent(const std::string& name) const;

    // Ends loading of this component and every component it owns.
    void Loaded();
    // Marks destruction, releases what must go while the object is whole
    // (window handles), then deletes.
    void Free();

    // Links two components whoever owns them: when either is freed, the
    // other hears of it (Notification with opRemove) and the link goes.
    void FreeNotification(TComponent* component);
    void RemoveFreeNotification(TComponent* component);
    // Gives a component to this owner (taking it from its old one).
    void InsertComponent(TComponent* component);
    void RemoveComponent(TComponent* component);

protected:
    // A component was given to this owner (opInsert) or is being freed
    // (opRemove): its owner, every component of that owner and everyone
    // who asked for FreeNotification hear of it. The default passes the
    // news on to the owned components. On opInsert from a constructor the
    // new component is not built beyond its TComponent part yet: keep the
    // pointer, use it later.
    virtual void Notification(TComponent* component, TOperation operation);
    virtual void BeforeDestruction();
    virtual void OnLoaded() {}
    void SetDestroying() { state_ |= csDestroying; }
    void SetLoading() { state_ |= csLoading; }

private:
    void Insert(TComponent* component);
    void Remove(TComponent* component);
    void NotifyFreed();

    TComponent* owner_;
    std::string name_;
    intptr_t tag_ = 0;
    unsigned state_ = 0;
    std::vector<TComponent*> components_;
    std::vector<TComponent*> freeNotifies_;  // both ways: who hears of whom
    bool freedNotified_ = false;
};

// A list of text lines (code page 1251), the common face of memo lines,
// list box items and plain string lists.
class TStrings : public TObject {
public:
    const char* ClassName() const override { return "TStrings"; }

    virtual int Count() const = 0;
    virtual std::string Get(int index) const = 0;
    // Replaces a line; lists that show a selection keep it.
    virtual void Put(int index, const std::string& text);
    virtual void Insert(int index, const std::string& text) = 0;
    virtual void Delete(int index) = 0;
    virtual void Clear() = 0;
    // Brackets many changes; the list may repaint once at the end.
    void BeginUpdate();
    void EndUpdate();

    std::string operator[](int index) const { return Get(index); }
    std::string Strings(int index) const { return Get(index); }
    int Add(const std::string& text);
    void Append(const std::string& text) { Add(text); }
    void AddStrings(const TStrings& source);
    void AddStrings(const std::vector<std::string>& lines);
    // Replaces the whole list by a copy of another.
    void Assign(const TStrings& source);
    // First line equal to `text` without regard to case, -1 when none.
    int IndexOf(const std::string& text) const;
    std::vector<std::string> ToVector() const;

    // All lines, each followed by CR LF.
    std::string Text() const;
    // Splits at CR LF, LF or CR.
    void SetText(const std::string& text);

    // Code page 1251 text, CR LF; a missing file throws EInOutError.
    void LoadFromFile(const std::string& path);
    void SaveToFile(const std::string& path) const;

protected:
    // Replaces every line at once; lists with a faster way override it.
    virtual void SetAllLines(const std::vector<std::string>& lines);
    virtual void SetUpdateState(bool updating) {}
    void CheckIndex(int index, int limit) const;
    bool Updating() const { return updateCount_ > 0; }

private:
    int updateCount_ = 0;
};

class TStringList : public TStrings {
public:
    TStringList() = default;
    explicit TStringList(std::vector<std::string> lines) : lines_(std::move(lines)) {}
    const char* ClassName() const override { return "TStringList"; }

    int Count() const override { return static_cast<int>(lines_.size()); }
    std::string Get(int index) const override;
    void Put(int index, const std::string& text) override;
    void Insert(int index, const std::string& text) override;
    void Delete(int index) override;
    void Clear() override;

    // After every change (not while updating; once at EndUpdate).
    TNotifyEvent OnChange;

protected:
    void SetUpdateState(bool updating) override;

private:
    void Changed();
    std::vector<std::string> lines_;
};

}  // namespace vcl
