#pragma once
#include <exception>
#include <string>
#include <utility>

// Errors the program raises; their messages reach the user in the error box.
class TalvaneError : public std::exception {
 public:
  explicit TalvaneError(std::wstring message) : message_(std::move(message)) {}
  const std::wstring& Message() const { return message_; }
  const char* what() const noexcept override { return "talvane error"; }

 private:
  std::wstring message_;
};

class ArgumentError : public TalvaneError {
  using TalvaneError::TalvaneError;
};

class IniFileError : public TalvaneError {
  using TalvaneError::TalvaneError;
};

class OutOfResourcesError : public TalvaneError {
  using TalvaneError::TalvaneError;
};

// The text of the error box: the message with a full stop added when its last character's
// code is above that of ".".
std::wstring ErrorBoxText(const std::wstring& message);
