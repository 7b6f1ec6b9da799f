#pragma once
// The store's error family. Every error carries one text, fixed when it is
// built; code that reports a store error reads it with GetMessageText.
#include <cstdint>
#include <exception>
#include <string>

class Exception : public std::exception {
public:
  explicit Exception(const std::string& message) : fMessage(message) {}
  // The message is not what() answers: reporters call GetMessageText.
  const char* what() const noexcept override { return "exception"; }
  std::string GetMessageText() const { return fMessage; }

private:
  std::string fMessage;
};

// A broken internal rule: the condition, the line and the source name.
class Assertion : public Exception {
public:
  Assertion(const std::string& what, int32_t line, const char* file);
};

// An error with a number in its text.
class ErrorNo : public Exception {
public:
  ErrorNo(int32_t number, const std::string& text);
};

#define KX_STORE_ERROR(Name, Base)                                   \
  class Name : public Base {                                         \
  public:                                                            \
    explicit Name(const std::string& message) : Base(message) {}     \
  }

KX_STORE_ERROR(FactoryError, Exception);
KX_STORE_ERROR(RTTIException, Exception);
KX_STORE_ERROR(DatabaseException, Exception);
KX_STORE_ERROR(InvalidDatabase, DatabaseException);
KX_STORE_ERROR(IOError, Exception);
KX_STORE_ERROR(ReadError, IOError);
KX_STORE_ERROR(FileReadError, ReadError);
KX_STORE_ERROR(StreamReadError, ReadError);
KX_STORE_ERROR(WriteError, IOError);
KX_STORE_ERROR(FileWriteError, WriteError);
KX_STORE_ERROR(StreamWriteError, WriteError);
KX_STORE_ERROR(OpenError, IOError);
KX_STORE_ERROR(FileOpenError, OpenError);
KX_STORE_ERROR(EOFException, IOError);

#undef KX_STORE_ERROR

// Not an error: a condition that ends a read. Handlers for Exception do not
// catch it.
class Signal : public std::exception {
public:
  explicit Signal(const std::string& message) : fMessage(message) {}
  const char* what() const noexcept override { return "exception"; }
  std::string GetMessageText() const { return fMessage; }

private:
  std::string fMessage;
};

// The data of an object ended before the reader had all its fields.
class EndOfObject : public Signal {
public:
  EndOfObject() : Signal("Premature and of object") {}
};

// ", line " + line + " in " + file.
std::string FormatSourceLocation(int32_t line, const char* file);
// text + " error: " + number.
std::string FormatErrorNumber(int32_t number, const std::string& text);
