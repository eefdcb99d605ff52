// The standard controls, each a window of the matching Win32 class.
#pragma once
#include "vcl/win.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "vcl/controls.h"

namespace vcl {

enum TAlignment { taLeftJustify, taRightJustify, taCenter };
enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };

class TButton : public TWinControl {
public:
    explicit TButton(TComponent* owner);
    const char* ClassName() const override { return "TButton"; }

    // Enter presses it (when no other button has the focus).
    bool Default() const { return default_; }
    void SetDefault(bool value);
    // Esc presses it.
    bool Cancel() const { return cancel_; }
    void SetCancel(bool value) { cancel_ = value; }
    // Pressing it closes a modal form with this result.
    int ModalResult() const { return modalResult_; }
    void SetModalResult(int value) { modalResult_ = value; }

    void Click() override;

protected:
    void CreateParams(TCreateParams& params) override;
    void WndProc(TMessage& message) override;

private:
    bool default_ = false;
    bool cancel_ = false;
    int modalResult_ = 0;
};

class TCheckBox : public TWinControl {
public:
    explicit TCheckBox(TComponent* owner);
    const char* ClassName() const override { return "TCheckBox"; }

    bool Checked() const { return checked_; }
    // A new state, from the user or from code, runs the click event.
    void SetChecked(bool value);

protected:
    void CreateParams(TCreateParams& params) override;
    void WndProc(TMessage& message) override;

private:
    bool checked_ = false;
};

class TEdit : public TWinControl {
public:
    explicit TEdit(TComponent* owner);
    const char* ClassName() const override { return "TEdit"; }

    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool value);
    // Runs when the text really changed, typed or set from code.
    TNotifyEvent OnChange;

protected:
    struct NoHandle {};
    TEdit(TComponent* owner, NoHandle);
    void CreateParams(TCreateParams& params) override;
    void WndProc(TMessage& message) override;
    virtual void Change();
    // The text as the window holds it, read once: a battle reads its
    // options from edits several times a round, and each question costs
    // Wine a round of calls. Every message that may change it is noted.
    std::string GetText() const override;

private:
    bool readOnly_ = false;
    bool clicking_ = false;
    mutable std::string knownText_;
    mutable bool textKnown_ = false;
};

class TMemo;

// The lines of a memo. They are kept here and reach the edit window in
// batches (Wine's edit control costs milliseconds per change): pending
// lines are written before anything reads or edits the window, and on a
// short timer or a paint while the memo is visible. Text the user types,
// or window text set directly, is read back the next time it is needed.
class TMemoStrings : public TStrings {
public:
    explicit TMemoStrings(TMemo* memo) : memo_(memo) {}
    int Count() const override;
    std::string Get(int index) const override;
    void Put(int index, const std::string& text) override;
    void Insert(int index, const std::string& text) override;
    void Delete(int index) override;
    void Clear() override;
    // The lines as the edit window shows them (pending lines written first).
    std::vector<std::string> Lines() const;
    // See TMemo::SetLineBound.
    using DroppedNote = std::function<std::string(uint64_t dropped)>;
    void SetBound(size_t limit, DroppedNote note);

protected:
    void SetAllLines(const std::vector<std::string>& lines) override;
    void SetUpdateState(bool updating) override;

private:
    friend class TMemo;
    // Reads the window text into the lines after the window changed on its own.
    void EnsureLines() const;
    void Changed(bool appended);
    bool Pending() const { return rewrite_ || windowLines_ < lines_.size(); }
    // Writes what is pending into the window; `part`: a part of it, the
    // rest later.
    void Flush(bool part = false);
    void FlushLater();
    void OnPaint();
    void OnFlushTimer();
    // The window text changed without us (typing, pasting, text set directly).
    void WindowChanged();
    // Drops the oldest lines down to half the bound, the note in their place.
    void DropOldest();

    TMemo* memo_;
    mutable std::vector<std::string> lines_;
    mutable bool stale_ = false;         // the window text is newer than lines_
    mutable size_t windowLines_ = 0;     // lines_[0, windowLines_) are in the window
    mutable bool windowEndsLine_ = true; // the window text is empty or ends with a line break
    bool rewrite_ = false;               // the whole window text must be replaced
    bool keepScroll_ = false;            // ... keeping the first visible line
    bool scrollToEnd_ = false;           // lines were added at the end
    bool flushing_ = false;
    bool timerArmed_ = false;
    DWORD lastFlush_ = 0;
    size_t limit_ = 0;            // 0: no bound
    DroppedNote note_;
    uint64_t dropped_ = 0;        // lines dropped since the memo was last cleared
    std::string noteShown_;       // the note the first line holds while dropped_ > 0
};

class TMemo : public TWinControl {
public:
    explicit TMemo(TComponent* owner);
    const char* ClassName() const override { return "TMemo"; }

    TStrings* Lines() { return lines_.get(); }
    // Keeps at most `limit` lines however many are added: the line beyond
    // it drops the oldest down to half the limit, and the first line then
    // says, in the words of `note`, how many lines went since the memo was
    // last cleared. The newest lines, which a log is read for, stay whole.
    void SetLineBound(size_t limit, TMemoStrings::DroppedNote note) { lines_->SetBound(limit, std::move(note)); }
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool value);
    TScrollStyle ScrollBars() const { return scrollBars_; }
    void SetScrollBars(TScrollStyle value);
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool value);
    TNotifyEvent OnChange;

protected:
    void CreateParams(TCreateParams& params) override;
    void WndProc(TMessage& message) override;

private:
    void RecreateWindow();
    std::unique_ptr<TMemoStrings> lines_;
    bool readOnly_ = false;
    bool wordWrap_ = true;
    TScrollStyle scrollBars_ = ssNone;
};

class TListBox;

class TListBoxStrings : public TStrings {
public:
    explicit TListBoxStrings(TListBox* list) : list_(list) {}
    int Count() const override;
    std::string Get(int index) const override;
    // Keeps the selection and the item's data.
    void Put(int index, const std::string& text) override;
    void Insert(int index, const std::string& text) override;
    void Delete(int index) override;
    void Clear() override;
    // The list's texts changed in the window: read them again when asked.
    void Forget() { known_ = false; }

protected:
    void SetUpdateState(bool updating) override;

private:
    // The texts as the window holds them, read once: a battle asks for its
    // participants' names at every battle, and each question to the window
    // costs Wine several calls. The list box tells of every change.
    const std::vector<std::string>& Texts() const;

    TListBox* list_;
    mutable std::vector<std::string> texts_;
    mutable bool known_ = false;
};

class TListBox : public TWinControl {
public:
    explicit TListBox(TComponent* owner);
    const char* ClassName() const override { return "TListBox"; }

    TStrings* Items() { return items_.get(); }
    int ItemIndex() const;
    // Selects from code; runs no click event. -1 selects nothing.
    void SetItemIndex(int value);

protected:
    struct NoHandle {};
    TListBox(TComponent* owner, NoHandle);
    void CreateParams(TCreateParams& params) override;
    void WndProc(TMessage& message) override;

private:
    std::unique_ptr<TListBoxStrings> items_;
};

enum TTextLayout { tlTop, tlCenter, tlBottom };

// A caption without a window, painted by its parent.
class TLabel : public TGraphicControl {
public:
    explicit TLabel(TComponent* owner);
    const char* ClassName() const override { return "TLabel"; }

    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool value);
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment value);
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool value);
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool value);
    void Paint(HDC dc) override;
    // A caption changed again before the label was painted is already
    // waiting for its paint: the window server is not asked again.
    void Invalidate() override;

protected:
    void WndProc(TMessage& message) override;

private:
    void AdjustSize();
    bool paintPending_ = false;
    bool autoSize_ = true;
    bool transparent_ = false;
    bool wordWrap_ = false;
    TAlignment alignment_ = taLeftJustify;
};

class TGroupBox : public TWinControl {
public:
    explicit TGroupBox(TComponent* owner);
    const char* ClassName() const override { return "TGroupBox"; }

protected:
    struct NoHandle {};
    TGroupBox(TComponent* owner, NoHandle);
    void CreateParams(TCreateParams& params) override;
    void WndProc(TMessage& message) override;
};

class TRadioGroup;

// One button of a radio group.
class TGroupButton : public TWinControl {
public:
    TGroupButton(TRadioGroup* group, int index);
    const char* ClassName() const override { return "TGroupButton"; }
    void SetIndex(int index) { index_ = index; }

protected:
    void CreateParams(TCreateParams& params) override;
    void WndProc(TMessage& message) override;

private:
    TRadioGroup* group_;
    int index_;
};

class TRadioGroup : public TGroupBox {
public:
    explicit TRadioGroup(TComponent* owner);
    ~TRadioGroup() override;
    const char* ClassName() const override { return "TRadioGroup"; }

    TStrings* Items() { return &items_; }
    int ItemIndex() const { return itemIndex_; }
    // Clamped to -1 .. count-1; a new checked item runs the click event.
    void SetItemIndex(int value);
    int Columns() const { return columns_; }
    void SetColumns(int value);

protected:
    void WndProc(TMessage& message) override;

private:
    friend class TGroupButton;
    void UpdateButtons();
    void UpdateTabStops();
    void ArrangeButtons();

    TStringList items_;
    std::vector<TGroupButton*> buttons_;
    int itemIndex_ = -1;
    int columns_ = 1;
};

enum TBevelCut { bvNone, bvLowered, bvRaised };

class TPanel : public TCustomControl {
public:
    explicit TPanel(TComponent* owner);
    const char* ClassName() const override { return "TPanel"; }

    TBevelCut BevelOuter() const { return bevelOuter_; }
    void SetBevelOuter(TBevelCut value);
    TBevelCut BevelInner() const { return bevelInner_; }
    void SetBevelInner(TBevelCut value);
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment value);
    // Width of each bevel ring in pixels.
    int BevelWidth() const { return bevelWidth_; }
    void SetBevelWidth(int value);
    // bsSingle draws a sunken edge around the panel, outside its bevels.
    TBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TBorderStyle value);

protected:
    void CreateParams(TCreateParams& params) override;
    void PaintWindow(HDC dc) override;
    void WndProc(TMessage& message) override;

private:
    TBevelCut bevelOuter_ = bvRaised;
    TBevelCut bevelInner_ = bvNone;
    TAlignment alignment_ = taCenter;
    int bevelWidth_ = 1;
    TBorderStyle borderStyle_ = bsNone;
};

// Draws a caption in a rectangle with a control's font and colour.
void DrawCaption(HDC dc, const TControl& control, const std::string& text, RECT rect, UINT format);

}  // namespace vcl
