#include "CP_File.h"

#include "CP_Exception.h"
#include "CP_FileSystem.h"

namespace {

constexpr const char* kSource = "CP_File.cpp";

// The lines that the error reports name; callers and tests tell the failed
// step by them.
constexpr int32_t kLineCreate = 208;
constexpr int32_t kLineOpen = 314;
constexpr int32_t kLineClose = 352;
constexpr int32_t kLineSetPosition = 377;
constexpr int32_t kLineGetPosition = 403;
constexpr int32_t kLineReadFailed = 440;
constexpr int32_t kLineReadNull = 444;
constexpr int32_t kLineWriteFailed = 477;
constexpr int32_t kLineWriteNull = 481;
constexpr int32_t kLineTruncWrite = 516;
constexpr int32_t kLineTruncEnd = 521;
constexpr int32_t kLineSize = 553;
constexpr int32_t kLineFlush = 571;

[[noreturn]] void FileError(int32_t line) { throw CP_PlfrmErrorException(kCP_FileError, kSource, line); }

}  // namespace

CP_File::~CP_File() { Release(); }

void CP_File::CreateWithSpec(const CP_FileSpec& spec, uint32_t access, uint32_t creator,
                             uint32_t type, bool replaceExisting) {
  SetSpec(spec);
  Create(access, creator, type, replaceExisting);
}

void CP_File::Create(uint32_t access, uint32_t, uint32_t, bool replaceExisting) {
  const std::string path = fSpec.Path().substr(0, kMaxCreatePath);
  HANDLE handle = CreateFileA(path.c_str(), access, FILE_SHARE_READ, nullptr,
                              replaceExisting ? CREATE_ALWAYS : CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
  if (handle == INVALID_HANDLE_VALUE) FileError(kLineCreate);
  TakeHandle(handle);
  Close();
}

void CP_File::Delete() { CP_FileSystem::DeleteFile(fSpec); }

void CP_File::Open(uint32_t access) {
  HANDLE handle = CreateFileA(fSpec.Path().c_str(), access, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) FileError(kLineOpen);
  TakeHandle(handle);
}

// The new handle is kept even when the old one closes badly, so that the
// object still owns every handle it opened.
void CP_File::TakeHandle(HANDLE handle) {
  const bool closed = Release();
  fHandle = handle;
  if (!closed) FileError(kLineClose);
}

bool CP_File::Release() {
  if (fHandle == INVALID_HANDLE_VALUE) return true;
  const BOOL closed = CloseHandle(fHandle);
  fHandle = INVALID_HANDLE_VALUE;
  return closed != FALSE;
}

void CP_File::Close() {
  if (!Release()) FileError(kLineClose);
}

void CP_File::Flush() {
  if (!FlushFileBuffers(fHandle)) FileError(kLineFlush);
}

uint32_t CP_File::SetPosition(int16_t origin, int32_t offset) {
  const DWORD position = SetFilePointer(fHandle, offset, nullptr, DWORD(int32_t(origin)));
  if (position == INVALID_SET_FILE_POINTER)
    ThrowIfPlatformError(int32_t(GetLastError()), kSource, kLineSetPosition);
  return position;
}

uint32_t CP_File::GetPosition() {
  const DWORD position = SetFilePointer(fHandle, 0, nullptr, FILE_CURRENT);
  if (position == INVALID_SET_FILE_POINTER)
    ThrowIfPlatformError(int32_t(GetLastError()), kSource, kLineGetPosition);
  return position;
}

void CP_File::Read(void* buffer, uint32_t* count) {
  if (!buffer || !count) FileError(kLineReadNull);
  DWORD done = 0;
  if (!ReadFile(fHandle, buffer, *count, &done, nullptr)) FileError(kLineReadFailed);
  *count = done;
}

void CP_File::Write(const void* buffer, uint32_t* count) {
  if (!buffer || !count) FileError(kLineWriteNull);
  DWORD done = 0;
  if (!WriteFile(fHandle, buffer, *count, &done, nullptr)) FileError(kLineWriteFailed);
  *count = done;
}

void CP_File::WriteAndTruncate(const void* buffer, uint32_t* count) {
  if (!buffer || !count) FileError(kLineTruncWrite);
  DWORD done = 0;
  if (!WriteFile(fHandle, buffer, *count, &done, nullptr)) FileError(kLineTruncWrite);
  *count = done;
  if (!SetEndOfFile(fHandle)) FileError(kLineTruncEnd);
}

uint32_t CP_File::GetSize() {
  const DWORD size = GetFileSize(fHandle, nullptr);
  if (size == INVALID_FILE_SIZE) FileError(kLineSize);
  return size;
}
