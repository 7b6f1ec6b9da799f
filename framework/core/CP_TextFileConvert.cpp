#include "CP_TextFileConvert.h"

#include "CP_Exception.h"
#include "CP_HandleBlock.h"
#include "CP_Utilities.h"

#include <memory>
#include <vector>

namespace {

constexpr uint8_t kCR = 13;
constexpr uint8_t kLF = 10;

}  // namespace

CP_HandleBlock* ConvertLineEndsToCRLF(CP_HandleBlock* source) {
  if (!source) return nullptr;
  std::unique_ptr<CP_HandleBlock> owned(source);
  const int32_t size = source->GetSize() > 0 ? source->GetSize() : 0;
  std::vector<uint8_t> text(size_t(size), 0);
  source->ReadBytes(text.data(), size);

  try {
    std::unique_ptr<CP_HandleBlock> converted(new CP_HandleBlock(size));
    if (size > 0) ThrowIfNull(converted->GetPointer(), "CP_TextFileConvert.cpp", 50);
    converted->Unlock();

    std::vector<uint8_t> out;
    out.reserve(text.size() + text.size() / 8);
    for (size_t i = 0; i < text.size(); ++i) {
      out.push_back(text[i]);
      if (text[i] != kCR) continue;
      // Text that already has CR LF line ends is given back as it is.
      if (i + 1 < text.size() && text[i + 1] == kLF) return owned.release();
      out.push_back(kLF);
    }
    if (out.size() > size_t(INT32_MAX)) return nullptr;
    converted->SetSize(int32_t(out.size()));
    void* destination = converted->GetPointer();
    if (!out.empty()) ThrowIfNull(destination, "CP_TextFileConvert.cpp", 50);
    CopyBytes(out.data(), destination, int32_t(out.size()));
    converted->Unlock();
    return converted.release();  // the source goes with `owned`
  } catch (const CP_BaseException& failure) {
    failure.Report();
    return nullptr;
  }
}
