#include "familyov/channels/LatestPosition.h"

#include <utility>

namespace namespaceOV {

LatestPosition::LatestPosition(ui::Window& owner, std::function<void(int)> apply)
    : owner_(owner), apply_(std::move(apply)) {
  owner_.OnMessage(kApplyMessage, [this](const ui::Message&) {
    posted_ = false;
    apply_(position_);
    return ui::Param{0};
  });
}

void LatestPosition::Moved(int position) {
  position_ = position;
  if (posted_) return;
  posted_ = true;
  owner_.Post(kApplyMessage);
}

}  // namespace namespaceOV
