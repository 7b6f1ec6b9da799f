#pragma once
// Framework failures: each exception carries a text or an error code and the
// source file and line that threw it, and can report itself.
#include <cstdint>

class CP_BaseException {
 public:
  static constexpr int kMaxText = 254;

  CP_BaseException(const char* text, const char* sourceFile, int32_t line);
  CP_BaseException(int32_t errorCode, const char* sourceFile, int32_t line);
  virtual ~CP_BaseException() = default;

  virtual const char* GetText() const { return fText; }
  virtual int32_t GetErrorCode() const { return fErrorCode; }
  // A line on the debugger output and the "CP_Exception" message box.
  virtual void Report() const;

  const char* GetSourceFile() const { return fSourceFile; }
  int32_t GetLine() const { return fLine; }

 protected:
  void ReportWithLabel(const char* label) const;

 private:
  char fText[256] = {};
  const char* fSourceFile;  // the thrower's string; must outlive the exception
  int32_t fLine;
  int32_t fErrorCode = 0;
};

class CP_RuntimeException : public CP_BaseException {
 public:
  using CP_BaseException::CP_BaseException;
};

class CP_MemoryException : public CP_RuntimeException {
 public:
  using CP_RuntimeException::CP_RuntimeException;
};

class CP_PlfrmErrorException : public CP_RuntimeException {
 public:
  using CP_RuntimeException::CP_RuntimeException;
  void Report() const override;
};

class CP_CPErrorException : public CP_RuntimeException {
 public:
  using CP_RuntimeException::CP_RuntimeException;
  void Report() const override;
};

class CP_PlfrmMemoryException : public CP_RuntimeException {
 public:
  using CP_RuntimeException::CP_RuntimeException;
};

// Framework error codes.
constexpr int32_t kCP_FileError = -36;
constexpr int32_t kCP_ParamError = -50;
constexpr int32_t kCP_StreamHeaderError = -1000;
constexpr int32_t kCP_StreamHeaderVersionError = -1001;
constexpr int32_t kCP_StreamEndError = -1002;
constexpr int32_t kCP_RequestRefused = -1200;

void ThrowIfNull(const void* pointer, const char* sourceFile, int32_t line);
void ThrowIfPlatformError(int32_t error, const char* sourceFile, int32_t line);
[[noreturn]] void ThrowConditionFailed(int32_t error, const char* sourceFile, int32_t line);
