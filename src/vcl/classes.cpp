#include "vcl/classes.h"

#include <algorithm>

#include "rtl/convert.h"
#include "rtl/encoding.h"
#include "rtl/textfile.h"

namespace vcl {

EListError::EListError(int index)
    : rtl::ERuntimeError("Индекс списка вне допустимого диапазона (" + rtl::IntToStr(index) + ")") {}

// ---- TComponent

TComponent::TComponent(TComponent* owner) : owner_(nullptr) {
    if (owner) {
        if (owner->state_ & csLoading) state_ |= csLoading;
        owner->InsertComponent(this);
    }
}

TComponent::~TComponent() {
    state_ |= csDestroying;
    NotifyFreed();
    // The newest first, as they were built on one another.
    while (!components_.empty()) {
        TComponent* last = components_.back();
        components_.pop_back();
        last->owner_ = nullptr;
        delete last;
    }
    if (owner_) owner_->Remove(this);
}

// Told once, while the component is still whole (Free calls this from
// BeforeDestruction; a plain delete from the destructor).
void TComponent::NotifyFreed() {
    if (freedNotified_) return;
    freedNotified_ = true;
    std::vector<TComponent*> holders;
    holders.swap(freeNotifies_);
    for (TComponent* holder : holders) {
        auto& theirs = holder->freeNotifies_;
        theirs.erase(std::remove(theirs.begin(), theirs.end(), this), theirs.end());
    }
    for (TComponent* holder : holders)
        if (holder != owner_) holder->Notification(this, opRemove);
    if (owner_) owner_->Notification(this, opRemove);
}

void TComponent::Notification(TComponent* component, TOperation operation) {
    if (operation == opRemove) {
        freeNotifies_.erase(std::remove(freeNotifies_.begin(), freeNotifies_.end(), component), freeNotifies_.end());
    }
    for (TComponent* owned : std::vector<TComponent*>(components_))
        if (owned != component) owned->Notification(component, operation);
}

void TComponent::FreeNotification(TComponent* component) {
    if (!component || component == this) return;
    if (std::find(freeNotifies_.begin(), freeNotifies_.end(), component) == freeNotifies_.end())
        freeNotifies_.push_back(component);
    auto& theirs = component->freeNotifies_;
    if (std::find(theirs.begin(), theirs.end(), this) == theirs.end()) theirs.push_back(this);
}

void TComponent::RemoveFreeNotification(TComponent* component) {
    if (!component) return;
    freeNotifies_.erase(std::remove(freeNotifies_.begin(), freeNotifies_.end(), component), freeNotifies_.end());
    auto& theirs = component->freeNotifies_;
    theirs.erase(std::remove(theirs.begin(), theirs.end(), this), theirs.end());
}

void TComponent::InsertComponent(TComponent* component) {
    if (!component || component->owner_ == this) return;
    if (component->owner_) component->owner_->RemoveComponent(component);
    Insert(component);
    component->owner_ = this;
    Notification(component, opInsert);
}

void TComponent::RemoveComponent(TComponent* component) {
    if (!component || component->owner_ != this) return;
    Notification(component, opRemove);
    Remove(component);
    component->owner_ = nullptr;
}

TComponent* TComponent::Components(int index) const {
    if (index < 0 || index >= ComponentCount()) throw EListError(index);
    return components_[static_cast<size_t>(index)];
}

TComponent* TComponent::FindComponent(const std::string& name) const {
    if (name.empty()) return nullptr;
    for (TComponent* component : components_)
        if (rtl::SameText1251(component->name_, name)) return component;
    return nullptr;
}

void TComponent::Loaded() {
    state_ &= ~static_cast<unsigned>(csLoading);
    for (TComponent* component : std::vector<TComponent*>(components_)) component->Loaded();
    OnLoaded();
}

void TComponent::Free() {
    BeforeDestruction();
    delete this;
}

void TComponent::BeforeDestruction() {
    state_ |= csDestroying;
    NotifyFreed();
    for (TComponent* component : components_) component->BeforeDestruction();
}

void TComponent::Insert(TComponent* component) { components_.push_back(component); }

void TComponent::Remove(TComponent* component) {
    auto it = std::find(components_.begin(), components_.end(), component);
    if (it != components_.end()) components_.erase(it);
}

// ---- TStrings

void TStrings::CheckIndex(int index, int limit) const {
    if (index < 0 || index >= limit) throw EListError(index);
}

void TStrings::Put(int index, const std::string& text) {
    CheckIndex(index, Count());
    BeginUpdate();
    Delete(index);
    Insert(index, text);
    EndUpdate();
}

void TStrings::BeginUpdate() {
    if (updateCount_++ == 0) SetUpdateState(true);
}

void TStrings::EndUpdate() {
    if (updateCount_ > 0 && --updateCount_ == 0) SetUpdateState(false);
}

int TStrings::Add(const std::string& text) {
    int index = Count();
    Insert(index, text);
    return index;
}

void TStrings::AddStrings(const TStrings& source) { AddStrings(source.ToVector()); }

void TStrings::AddStrings(const std::vector<std::string>& lines) {
    BeginUpdate();
    for (const auto& line : lines) Add(line);
    EndUpdate();
}

void TStrings::SetAllLines(const std::vector<std::string>& lines) {
    BeginUpdate();
    Clear();
    AddStrings(lines);
    EndUpdate();
}

void TStrings::Assign(const TStrings& source) {
    if (&source == this) return;
    SetAllLines(source.ToVector());
}

int TStrings::IndexOf(const std::string& text) const {
    for (int i = 0, n = Count(); i < n; ++i)
        if (rtl::SameText1251(Get(i), text)) return i;
    return -1;
}

std::vector<std::string> TStrings::ToVector() const {
    std::vector<std::string> lines;
    int n = Count();
    lines.reserve(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) lines.push_back(Get(i));
    return lines;
}

std::string TStrings::Text() const {
    std::string text;
    for (int i = 0, n = Count(); i < n; ++i) {
        text += Get(i);
        text += "\r\n";
    }
    return text;
}

static std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            lines.push_back(text.substr(start, i - start));
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            start = i + 1;
        }
    }
    if (start < text.size()) lines.push_back(text.substr(start));
    return lines;
}

void TStrings::SetText(const std::string& text) { SetAllLines(SplitLines(text)); }

void TStrings::LoadFromFile(const std::string& path) { SetAllLines(rtl::ReadAllLines(path)); }

void TStrings::SaveToFile(const std::string& path) const { rtl::WriteAllLines(path, ToVector()); }

// ---- TStringList

std::string TStringList::Get(int index) const {
    CheckIndex(index, Count());
    return lines_[static_cast<size_t>(index)];
}

void TStringList::Put(int index, const std::string& text) {
    CheckIndex(index, Count());
    lines_[static_cast<size_t>(index)] = text;
    Changed();
}

void TStringList::Insert(int index, const std::string& text) {
    CheckIndex(index, Count() + 1);
    lines_.insert(lines_.begin() + index, text);
    Changed();
}

void TStringList::Delete(int index) {
    CheckIndex(index, Count());
    lines_.erase(lines_.begin() + index);
    Changed();
}

void TStringList::Clear() {
    if (lines_.empty()) return;
    lines_.clear();
    Changed();
}

void TStringList::SetUpdateState(bool updating) {
    if (!updating) Changed();
}

void TStringList::Changed() {
    if (!Updating() && OnChange) OnChange(this);
}

}  // namespace vcl
