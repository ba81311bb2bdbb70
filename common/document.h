#pragma once
// What every program's document shares: the views that listen for updates, the modified flag
// and the one-level undo copy. Each document names its own update type (a scoped hint enum, or
// a struct carrying a hint and where it applies), so hints of two programs never mix.
// Document methods that a window calls may return bool where a Prompt has already shown the
// message; cores otherwise return Status/Result (common/result.h).

#include <algorithm>
#include <cstddef>
#include <optional>
#include <utility>
#include <vector>

namespace quenda {

template <typename Update>
class DocumentListener {
 public:
  virtual ~DocumentListener() = default;
  virtual void OnUpdate(const Update& update) = 0;
};

template <typename Update>
class Document {
 public:
  using Listener = DocumentListener<Update>;

  Document() = default;
  Document(const Document&) = delete;
  Document& operator=(const Document&) = delete;

  // Adding a listener twice keeps one entry; removing one that is not there does nothing. Both
  // may be called from inside OnUpdate: a removed listener hears nothing more of the update in
  // progress, an added one hears from the next update on.
  void AddListener(Listener* listener) {
    if (std::find(listeners_.begin(), listeners_.end(), listener) == listeners_.end())
      listeners_.push_back(listener);
  }

  void RemoveListener(Listener* listener) {
    auto found = std::find(listeners_.begin(), listeners_.end(), listener);
    if (found == listeners_.end()) return;
    // While a notification walks the list, erasing would shift the entries under it.
    if (notifying_ > 0)
      *found = nullptr;
    else
      listeners_.erase(found);
  }

  void UpdateAllViews(const Update& update) {
    ++notifying_;
    // By index, with the count fixed at the start: additions may reallocate the list.
    for (std::size_t i = 0, count = listeners_.size(); i < count; ++i)
      if (Listener* listener = listeners_[i]) listener->OnUpdate(update);
    if (--notifying_ == 0) std::erase(listeners_, nullptr);
  }

  bool modified() const { return modified_; }
  void SetModified(bool modified) { modified_ = modified; }

 protected:
  ~Document() = default;

  // For a document outliving its views, as when it is closed after the window is gone.
  void ForgetListeners() {
    if (notifying_ > 0)
      std::fill(listeners_.begin(), listeners_.end(), nullptr);
    else
      listeners_.clear();
  }

 private:
  std::vector<Listener*> listeners_;  // null where one was removed during a notification
  int notifying_ = 0;
  bool modified_ = false;
};

// One level of undo: a command takes a copy of what it is about to change, Undo puts the copy
// back, and anything that makes the copy meaningless drops it.
template <typename T>
class UndoSnapshot {
 public:
  void Take(T copy) { copy_ = std::move(copy); }
  bool available() const { return copy_.has_value(); }
  // The copy itself, null when none is held; for keeping it in step with the document.
  T* get() { return copy_ ? &*copy_ : nullptr; }
  const T* get() const { return copy_ ? &*copy_ : nullptr; }
  // Hands the copy over and forgets it; nothing when none was held.
  std::optional<T> Release() {
    std::optional<T> copy = std::move(copy_);
    copy_.reset();
    return copy;
  }
  // Moves the copy into `target` and forgets it; false, leaving `target` alone, when none was
  // held.
  bool Restore(T& target) {
    if (!copy_) return false;
    target = std::move(*copy_);
    copy_.reset();
    return true;
  }
  void Drop() { copy_.reset(); }

 private:
  std::optional<T> copy_;
};

}  // namespace quenda
