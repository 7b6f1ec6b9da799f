#pragma once
// The object database that a film carries in its data block, with the
// roots "Actions" (an ActionTable) and "Preferences" (a Dictionary).
#include <memory>
#include <string>

#include "store/DataHandler.h"
#include "store/Database.h"

class FilmUserDataHeader;

class FilmUserData {
public:
  static constexpr uint32_t kObjectCapacity = 100;
  static constexpr uint32_t kRootsCapacity = 30;

  // Takes the film's handler and deletes it with itself.
  FilmUserData(DataHandler_* handler, bool writable);
  // Saves a writable film, unless its last save failed: the caller has
  // been told, and the film stays as that failure left it. A failure here
  // is swallowed, so callers who must know call Save first.
  ~FilmUserData();
  FilmUserData(const FilmUserData&) = delete;
  FilmUserData& operator=(const FilmUserData&) = delete;

  // Opens the database on first use and keeps it. It belongs to the caller,
  // who deletes it; a writable film must be saved (or destroyed) while its
  // database exists. A film without a block is given one, so readers ask
  // ReadFilmUserDataHeader first. A writable film whose block is not the
  // last atom of the file is refused: the block grows to the end of the
  // file and would swallow the atoms behind it. What an unfinished save
  // left behind the block (zeros, or the block's own database right behind
  // its header record) is the block's own.
  Database* GetDatabase();

  // Writes what changed, the block's size reaching the end of the file
  // before anything lands there; nothing for a film opened read-only or
  // not yet read. A failure leaves the film as it was or as saved.
  void Save();

private:
  void RefuseAtomsBehind(const FilmUserDataHeader& block, uint64_t dataOffset);
  bool DatabaseHeaderAt(uint64_t position);
  void SizeBlock(uint64_t end);

  std::unique_ptr<DataHandler_> fHandler;
  Database* fDatabase = nullptr;
  bool fWritable;
  bool fSaveFailed = false;
};

// A root of a database taken as a T: null when there is no root of that
// name or when it is of another class. Owns only the name.
template <class T>
class RootRef {
public:
  RootRef(Database* database, const std::string& name)
      : fRoot(dynamic_cast<T*>(database->GetRoot(name))), fName(name), fDatabase(database) {}

  T* Get() const { return fRoot; }
  T* operator->() const { return fRoot; }
  explicit operator bool() const { return fRoot != nullptr; }
  const std::string& GetName() const { return fName; }

private:
  T* fRoot;
  std::string fName;
  Database* fDatabase;
};
