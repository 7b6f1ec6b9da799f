#include "File.h"

#include <cstring>

namespace xbase {
namespace {

// Tables above this size are refused, so that a damaged length can never
// make the fuzzer allocate without bound.
constexpr uint64_t kMaxMemoryFile = uint64_t(1) << 28;

class MemoryFile : public File {
 public:
  explicit MemoryFile(std::shared_ptr<std::vector<uint8_t>> bytes) : bytes_(std::move(bytes)) {}

  bool ReadAt(uint64_t offset, void* data, size_t size) override {
    if (offset > bytes_->size() || size > bytes_->size() - offset) return false;
    if (size != 0) std::memcpy(data, bytes_->data() + offset, size);
    return true;
  }
  bool WriteAt(uint64_t offset, const void* data, size_t size) override {
    if (offset > kMaxMemoryFile || size > kMaxMemoryFile - offset) return false;
    if (offset + size > bytes_->size()) bytes_->resize(offset + size);
    if (size != 0) std::memcpy(bytes_->data() + offset, data, size);
    return true;
  }
  bool Size(uint64_t& size) override {
    size = bytes_->size();
    return true;
  }
  bool Truncate(uint64_t size) override {
    if (size > kMaxMemoryFile) return false;
    bytes_->resize(size);
    return true;
  }
  bool Sync() override { return true; }
  bool Lock(LockKind) override { return true; }
  void Unlock() override {}

 private:
  std::shared_ptr<std::vector<uint8_t>> bytes_;
};

}  // namespace

std::unique_ptr<File> MemoryFileSystem::Open(const std::string& path, OpenMode mode) {
  auto it = files_.find(path);
  if (mode == OpenMode::CreateNew) {
    if (it != files_.end()) return nullptr;
    it = files_.emplace(path, std::make_shared<std::vector<uint8_t>>()).first;
  } else if (it == files_.end()) {
    return nullptr;
  }
  return std::make_unique<MemoryFile>(it->second);
}

bool MemoryFileSystem::Exists(const std::string& path) { return files_.count(path) != 0; }

bool MemoryFileSystem::Remove(const std::string& path) {
  files_.erase(path);
  return true;
}

void MemoryFileSystem::Put(const std::string& path, std::vector<uint8_t> bytes) {
  files_[path] = std::make_shared<std::vector<uint8_t>>(std::move(bytes));
}

std::vector<uint8_t> MemoryFileSystem::Get(const std::string& path) const {
  auto it = files_.find(path);
  return it == files_.end() ? std::vector<uint8_t>() : *it->second;
}

}  // namespace xbase
