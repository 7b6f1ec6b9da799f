#pragma once
// What a scan of the film folders reads of a new film file, from one open
// of it: the size label, the film's preferences and its actions. Each part
// of the file is read from disk once; a first start with many new films
// spent most of its time opening every film three times and reading its
// data in small pieces.
#include "CP_File.h"
#include "store/library/FilmDataReadersQT.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

class DataHandler_;

class FilmFileReader {
 public:
  // Opens the file as FormatFilmSize does. When that fails the size label is
  // empty and the readers open the file by its path, as on their own.
  explicit FilmFileReader(const std::string& path);
  ~FilmFileReader();
  FilmFileReader(const FilmFileReader&) = delete;
  FilmFileReader& operator=(const FilmFileReader&) = delete;

  // FormatFilmSize's label of the file.
  const std::string& SizeText() const { return fSizeText; }
  // What ReadFilmPreferences and ImportFilmActions read of the path.
  void ReadPreferences(manager_data::Preferences& preferences);
  void ReadActions(std::vector<ActionRecord>& actions);
  // Lets go of the file, so that it can be deleted; the readers then open
  // it by its path.
  void Close();

  // The film's bytes, a page at a time, each page read once.
  class Pages {
   public:
    Pages(CP_File& file, uint64_t size) : fFile(file), fSize(size) {}
    uint64_t Size() const { return fSize; }
    // Copies up to `count` bytes from `position`; answers how many there were.
    uint64_t Copy(uint64_t position, uint8_t* out, uint64_t count);

   private:
    const std::vector<uint8_t>& Page(uint64_t index);

    CP_File& fFile;
    uint64_t fSize;
    std::map<uint64_t, std::vector<uint8_t>> fPages;
  };

 private:
  // A reader of the film from its start; null when the file is not open.
  std::unique_ptr<DataHandler_> NewHandler();

  std::string fPath;
  std::string fSizeText;
  CP_File fFile;
  std::unique_ptr<Pages> fPages;
};
