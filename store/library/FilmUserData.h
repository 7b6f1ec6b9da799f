#pragma once
// The object database that a film carries in its data block, with the
// roots "Actions" (an ActionTable) and "Preferences" (a Dictionary).
#include <memory>
#include <string>

#include "store/DataHandler.h"
#include "store/Database.h"

class FilmUserData {
public:
  static constexpr uint32_t kObjectCapacity = 100;
  static constexpr uint32_t kRootsCapacity = 30;

  // Takes the film's handler and deletes it with itself.
  FilmUserData(DataHandler_* handler, bool writable);
  // Saves a writable film; a failure is swallowed here, so callers who
  // must know call Save first.
  ~FilmUserData();
  FilmUserData(const FilmUserData&) = delete;
  FilmUserData& operator=(const FilmUserData&) = delete;

  // Opens the database on first use and keeps it. It belongs to the caller,
  // who deletes it; a writable film must be saved (or destroyed) while its
  // database exists. A film without a block is given one, so readers ask
  // ReadFilmUserDataHeader first. A writable film whose block is not the
  // last atom of the file is refused: the block grows to the end of the
  // file and would swallow the atoms behind it.
  Database* GetDatabase();

  // Writes what changed and sets the block's size to reach the end of the
  // file; nothing for a film opened read-only or not yet read.
  void Save();

private:
  std::unique_ptr<DataHandler_> fHandler;
  Database* fDatabase = nullptr;
  bool fWritable;
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
