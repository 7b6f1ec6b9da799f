#include "FilmFileReader.h"

#include "CP_Exception.h"
#include "GH_FilmsFolder.h"
#include "store/DataHandler.h"
#include "store/Exception.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace {

constexpr uint64_t kPageSize = 16384;

// Reads the pages as FileDataHandler reads a file opened for reading: a
// short read takes what was there and throws EOFException; a seek that the
// C library would refuse throws IOError; nothing is written.
class PagedFilmHandler : public DataHandler_ {
 public:
  explicit PagedFilmHandler(FilmFileReader::Pages& pages) : fPages(pages) {}

  uint64_t Read(void* buffer, uint64_t count) override {
    const uint64_t read = fPages.Copy(fPosition, static_cast<uint8_t*>(buffer), count);
    fPosition += read;
    if (read != count) throw EOFException("FileDataHandler EOF");
    return read;
  }
  uint64_t Write(const void*, uint64_t) override { return 0; }
  void Flush() override {}
  bool IsValid() override { return true; }
  void Seek(int64_t position, SeekFrom origin) override {
    const int64_t base = origin == SeekFrom::Current ? int64_t(fPosition)
                         : origin == SeekFrom::End   ? int64_t(fPages.Size())
                                                     : 0;
    if (position < LONG_MIN || position > LONG_MAX || base + position < 0 || base + position > LONG_MAX)
      throw IOError("FileDataHandler, cannot seek");
    fPosition = uint64_t(base + position);
  }
  uint64_t Tell() override { return fPosition; }
  uint64_t Size() override { return fPages.Size(); }

 private:
  FilmFileReader::Pages& fPages;
  uint64_t fPosition = 0;
};

}  // namespace

uint64_t FilmFileReader::Pages::Copy(uint64_t position, uint8_t* out, uint64_t count) {
  uint64_t copied = 0;
  while (copied < count && position < fSize) {
    const std::vector<uint8_t>& page = Page(position / kPageSize);
    const uint64_t offset = position % kPageSize;
    if (offset >= page.size()) break;  // the file ended early
    const uint64_t n = std::min<uint64_t>(count - copied, page.size() - offset);
    std::memcpy(out + copied, page.data() + offset, size_t(n));
    copied += n;
    position += n;
  }
  return copied;
}

// A page that cannot be read whole holds what could be: a read there ends
// short, as at the end of the file.
const std::vector<uint8_t>& FilmFileReader::Pages::Page(uint64_t index) {
  auto found = fPages.find(index);
  if (found != fPages.end()) return found->second;
  const uint64_t start = index * kPageSize;
  std::vector<uint8_t> page(size_t(std::min<uint64_t>(kPageSize, fSize - start)));
  uint32_t filled = 0;
  try {
    fFile.SetPosition(0, int32_t(start));
    while (filled < page.size()) {
      uint32_t count = uint32_t(page.size()) - filled;
      fFile.Read(page.data() + filled, &count);
      if (count == 0) break;
      filled += count;
    }
  } catch (const CP_BaseException&) {
  }
  page.resize(filled);
  return fPages.emplace(index, std::move(page)).first->second;
}

FilmFileReader::FilmFileReader(const std::string& path) : fPath(path), fFile(CP_FileSpec(path, false)) {
  try {
    fFile.Open(GENERIC_READ);
  } catch (const CP_BaseException&) {
    return;  // no label; the readers go by the path
  }
  fSizeText = FormatFilmSizeText(GetFileSize(fFile.GetHandle(), nullptr));
  LARGE_INTEGER size = {};
  // Beyond what a seek can reach the file is read by its path.
  if (GetFileSizeEx(fFile.GetHandle(), &size) && size.QuadPart <= LONG_MAX)
    fPages = std::make_unique<Pages>(fFile, uint64_t(size.QuadPart));
}

FilmFileReader::~FilmFileReader() = default;

void FilmFileReader::Close() {
  fPages.reset();
  fFile.Close();
}

std::unique_ptr<DataHandler_> FilmFileReader::NewHandler() {
  if (!fPages) return nullptr;
  return std::make_unique<PagedFilmHandler>(*fPages);
}

void FilmFileReader::ReadPreferences(manager_data::Preferences& preferences) {
  std::unique_ptr<DataHandler_> film = NewHandler();
  if (!film) {
    manager_data::ReadFilmPreferences(fPath, preferences);
    return;
  }
  if (!manager_data::ReadStoredPreferences(std::move(film), preferences))
    manager_data::ReadFilmDefaults(fPath, preferences);
}

void FilmFileReader::ReadActions(std::vector<ActionRecord>& actions) {
  std::unique_ptr<DataHandler_> film = NewHandler();
  if (film)
    manager_data::ImportFilmActions(std::move(film), actions);
  else
    manager_data::ImportFilmActions(fPath, actions);
}
