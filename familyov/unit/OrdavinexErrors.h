#pragma once

#include <string>
#include <utility>

#include "bus/IQException.h"

namespace namespaceOV {

// A failure of a family operation that is not the bus's own. It derives from IQException so that
// every handler of the family, which catches that and reports it, also reports these.
class OrdavinexError : public IQException {
 public:
  explicit OrdavinexError(std::string text) : text_(std::move(text)) {}
  std::string GetText() const override { return text_; }
  const char* what() const noexcept override { return text_.c_str(); }

 private:
  std::string text_;
};

// An index or number outside the table or store it selects from.
class OrdavinexRangeError : public OrdavinexError {
 public:
  using OrdavinexError::OrdavinexError;
};

}  // namespace namespaceOV
