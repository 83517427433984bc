#pragma once

#include <functional>
#include <vector>

// How long a processor family's filter lives for the windows that show it:
//
//   A filter's destructor empties every FilterHandle that names it, so whatever keeps a filter past
//   the handler that found it (list rows, selections, graph icons, dialogs, link heads and chain
//   links) keeps a FilterHandle and finds the filter alive or null, never freed.
//   The device announces through its FilterSetNotice, synchronously and before it frees anything,
//   every change that takes filters away or replaces them, and each view that shows filters then
//   reads them from the device again, so lists, icons, selections and chains show what the unit
//   holds.

namespace familycommon {

class HandleTarget;

// The part of a handle its target knows: a link in the target's list of handles.
class HandleLink {
 protected:
  HandleLink() = default;
  ~HandleLink() { Detach(); }
  void Attach(const HandleTarget* target);
  void Detach();
  HandleTarget* target_ = nullptr;

 private:
  friend class HandleTarget;
  HandleLink* previous_ = nullptr;
  HandleLink* next_ = nullptr;
};

// The base of every filter: it empties its handles when it goes. A copy is a new object that no
// handle names yet.
class HandleTarget {
 public:
  HandleTarget() = default;
  HandleTarget(const HandleTarget&) {}
  HandleTarget& operator=(const HandleTarget&) { return *this; }

 protected:
  ~HandleTarget() {
    while (handles_ != nullptr) handles_->Detach();
  }

 private:
  friend class HandleLink;
  HandleLink* handles_ = nullptr;
};

inline void HandleLink::Attach(const HandleTarget* target) {
  if (target == nullptr) return;
  target_ = const_cast<HandleTarget*>(target);
  next_ = target_->handles_;
  if (next_ != nullptr) next_->previous_ = this;
  target_->handles_ = this;
}

inline void HandleLink::Detach() {
  if (target_ == nullptr) return;
  if (previous_ != nullptr) {
    previous_->next_ = next_;
  } else {
    target_->handles_ = next_;
  }
  if (next_ != nullptr) next_->previous_ = previous_;
  target_ = nullptr;
  previous_ = next_ = nullptr;
}

// A pointer to a filter that becomes null when the filter is destroyed. It reads like the pointer
// it replaces; a holder tests it before use.
template <typename T>
class FilterHandle : private HandleLink {
 public:
  FilterHandle() = default;
  FilterHandle(T* target) { Attach(target); }  // NOLINT: stands in for a plain pointer
  FilterHandle(const FilterHandle& other) : HandleLink() { Attach(other.get()); }
  FilterHandle& operator=(const FilterHandle& other) { return *this = other.get(); }
  FilterHandle& operator=(T* target) {
    if (target != get()) {
      Detach();
      Attach(target);
    }
    return *this;
  }
  ~FilterHandle() = default;

  T* get() const { return static_cast<T*>(target_); }
  operator T*() const { return get(); }  // NOLINT: reads like the pointer it replaces
  T* operator->() const { return get(); }
  T& operator*() const { return *get(); }
};

// Plain pointers to filters still held, from handles: for code that works within one handler.
template <typename T>
std::vector<T*> HeldFilters(const std::vector<FilterHandle<T>>& handles) {
  std::vector<T*> held;
  for (T* filter : handles) {
    if (filter != nullptr) held.push_back(filter);
  }
  return held;
}

// The device's announcement that filters left it or were replaced. Listeners run at once, in the
// order they came; one may leave (its window closes) while the notice runs.
class FilterSetNotice {
 public:
  using Listener = std::function<void()>;

  // Listens until the returned subscription goes.
  class Subscription {
   public:
    Subscription() = default;
    Subscription(FilterSetNotice& notice, int id) : notice_(&notice), id_(id) {}
    Subscription(Subscription&& other) noexcept { *this = std::move(other); }
    Subscription& operator=(Subscription&& other) noexcept {
      if (this != &other) {
        Leave();
        notice_ = other.notice_;
        id_ = other.id_;
        other.notice_ = nullptr;
      }
      return *this;
    }
    ~Subscription() { Leave(); }

   private:
    void Leave() {
      if (notice_ != nullptr) notice_->Remove(id_);
      notice_ = nullptr;
    }
    FilterSetNotice* notice_ = nullptr;
    int id_ = 0;
  };

  FilterSetNotice() = default;
  FilterSetNotice(const FilterSetNotice&) = delete;
  FilterSetNotice& operator=(const FilterSetNotice&) = delete;

  [[nodiscard]] Subscription Listen(Listener listener) {
    listeners_.push_back({++lastId_, std::move(listener)});
    return Subscription(*this, lastId_);
  }
  void Announce() const {
    std::vector<int> ids;
    for (const auto& entry : listeners_) ids.push_back(entry.id);
    for (int id : ids) {
      for (const auto& entry : listeners_) {
        if (entry.id != id) continue;
        // A copy: the listener may take itself away while it runs.
        const Listener listener = entry.listener;
        listener();
        break;
      }
    }
  }

 private:
  friend class FilterSetChange;
  void Remove(int id) {
    std::erase_if(listeners_, [id](const Entry& e) { return e.id == id; });
  }

  struct Entry {
    int id;
    Listener listener;
  };
  std::vector<Entry> listeners_;
  int lastId_ = 0;
  int openChanges_ = 0;
};

// Announces on leaving its scope, also when a bus failure ends the change part way. A change
// inside another announces with the outer one, so views never read a set half replaced.
class FilterSetChange {
 public:
  explicit FilterSetChange(FilterSetNotice& notice) : notice_(notice) { ++notice_.openChanges_; }
  ~FilterSetChange() {
    if (--notice_.openChanges_ == 0) notice_.Announce();
  }
  FilterSetChange(const FilterSetChange&) = delete;
  FilterSetChange& operator=(const FilterSetChange&) = delete;

 private:
  FilterSetNotice& notice_;
};

}  // namespace familycommon
