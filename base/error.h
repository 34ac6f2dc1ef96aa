// Errors the user must see. Each carries the exact text of its message; the
// windowing layer's dispatch point shows it in the application's error box.
#pragma once

#include <stdexcept>
#include <string>

namespace base {

class Error : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class FileOpenError : public Error {
 public:
  explicit FileOpenError(const std::string& path) : Error("Cannot open file " + path) {}
};

class FileCreateError : public Error {
 public:
  explicit FileCreateError(const std::string& path) : Error("Cannot create file " + path) {}
};

class WriteError : public Error {
 public:
  explicit WriteError(const std::string& path) : Error("Unable to write to " + path) {}
};

class CapacityError : public Error {
 public:
  CapacityError() : Error("Text exceeds memo capacity") {}
};

class ConvertError : public Error {
 public:
  explicit ConvertError(const std::string& text)
      : Error("'" + text + "' is not a valid integer value") {}
};

}  // namespace base
