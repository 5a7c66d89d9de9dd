#pragma once
// The result of one initialisation step: whether it worked and, when it did
// not, the text for the user. The caller shows the message.
#include <string>
#include <utility>

struct InitResult {
  bool success = false;
  std::string message;

  InitResult() = default;
  InitResult(bool ok, std::string text) : success(ok), message(std::move(text)) {}
  static InitResult Ok() { return {true, {}}; }
  static InitResult Fail(std::string text) { return {false, std::move(text)}; }
};
