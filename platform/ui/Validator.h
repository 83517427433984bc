#pragma once

#include <string>

namespace ui {

// Checks an edit's text: while the user types or pastes (a partial text may pass), and once more
// as a whole before the dialog closes.
class Validator {
 public:
  virtual ~Validator() = default;
  virtual bool IsValidInput(const std::string& text) const = 0;
  virtual bool IsValid(const std::string& text) const { return IsValidInput(text); }
  virtual std::string Error() const = 0;
};

// Only characters of a set such as "0-9: " (ranges written with '-').
class CharSetValidator : public Validator {
 public:
  explicit CharSetValidator(std::string set) : set_(std::move(set)) {}
  bool IsValidInput(const std::string& text) const override;
  std::string Error() const override;
  bool Allows(char c) const;

 private:
  std::string set_;
};

// A whole number from minimum to maximum.
class RangeValidator : public Validator {
 public:
  RangeValidator(long minimum, long maximum) : minimum_(minimum), maximum_(maximum) {}
  bool IsValidInput(const std::string& text) const override;
  bool IsValid(const std::string& text) const override;
  std::string Error() const override;

 private:
  long minimum_;
  long maximum_;
};

}  // namespace ui
