#pragma once
// A small object database in one byte area of a data handler: a 22-byte
// header that says where the Database object lies, then the stored objects.
// The Database object holds the named roots and the object table. Objects
// load on demand by ID, stay in memory once loaded and are written back when
// modified.
//
// Ownership: a database owns its stream and every object whose memory was
// obtained for it (loaded ones and ones made with `new (database) T`); what
// is still alive when the database is deleted goes with it.
#include <cstdint>
#include <functional>
#include <iosfwd>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "DBObjects.h"
#include "DBRoots.h"
#include "LocalSystem.h"
#include "Persistent.h"
#include "Stream.h"

// <windows.h> defines GetObject as GetObjectA. The class is declared with the
// macro set aside, so every unit sees the same class, and a unit where the
// macro is active reaches the same operation through GetObjectA.
#pragma push_macro("GetObject")
#undef GetObject

class Database : public Persistent {
public:
  static constexpr uint32_t kMagic = 0xD8FBE668;
  static constexpr uint32_t kDatabaseObjectID = 1;
  static constexpr uint32_t kFirstObjectID = 1024;
  static constexpr uint32_t kDefaultObjectCapacity = 2000;
  static constexpr uint32_t kDefaultRootsCapacity = 64;
  static constexpr uint32_t kVersion = 1;
  static const char kSignature[];          // "Quorvex"
  static const uint32_t kHeaderSize;       // signature length + 15

  Database();
  ~Database() override;
  Database(const Database&) = delete;
  Database& operator=(const Database&) = delete;

  // Called with the handler's new end once the area has grown (with zeros)
  // to hold what a save will write, before any of it is written: whoever
  // frames the area (a film's block) covers the new end then.
  using GrowthHook = std::function<void(uint64_t end)>;

  // Makes the named class through the class factory and opens it on the
  // stream. The stream is the database's from here on, also when this fails.
  static Database* Create(Stream* handler, const std::string& className, uint32_t objectCapacity,
                          uint32_t rootsCapacity, const GrowthHook& grown = nullptr);
  // Reads the database at the stream's position. Where no valid header
  // stands, a new empty database is written there (growing the area
  // through the hook).
  void Open(Stream* handler, uint32_t objectCapacity, uint32_t rootsCapacity,
            const GrowthHook& grown = nullptr);

  // Null for an ID the object table does not know.
  Persistent* GetObject(uint32_t id);
#ifdef _WIN32
  Persistent* GetObjectA(uint32_t id) { return GetObject(id); }
#endif
  Persistent* GetRoot(const std::string& name);
  // Enters the object under the name (cut to 32 bytes); the object must
  // belong to this database.
  void AddRoot(const std::string& name, Persistent* object);

  uint32_t RegisterObject(Persistent* object);
  void Unregister(Persistent* object);
  void WriteObjectAt(uint64_t position, Persistent& object);
  // Writes the Database object beside its stored copy, then the header that
  // points at it (the header also when forced). A failure on the way leaves
  // the stored database as it was.
  void Commit(bool forceHeader);
  // Writes every modified object beside its stored copy, commits, flushes,
  // then deletes the objects marked keep-stored (and the database, when it
  // is so marked). A save that fails leaves the stored database whole (the
  // old one or the new one) and this one ready to write everything again.
  static void SaveAll(Database* database, const GrowthHook& grown = nullptr);

  // An open database by its identity; null when none is open under it.
  static Database* Find(uint32_t databaseID);

  uint32_t GetDatabaseID() const { return fDatabaseID; }
  uint32_t GetVersion() const { return fVersion; }
  uint32_t GetNextObjectID() const { return fNextObjectID; }
  uint32_t GetObjectOffset() const { return fObjectOffset; }
  uint32_t GetDatabaseOffset() const { return fDatabaseOffset; }
  uint32_t GetDataStart() const { return fDataStart; }
  const DBRoots& GetRoots() const { return fRoots; }
  const DBObjects& GetObjects() const { return fObjects; }
  Stream* GetHandler() const { return fHandler.get(); }

  std::string ClassName() const override { return "Database"; }
  uint32_t SerialisedSize() const override;
  void ReadContents(Stream& stream) override;
  void WriteContents(Stream& stream) override;
  void Dump(std::ostream& out) const override;

private:
  friend class Persistent;
  // Called from a deleted object's destructor: never throws.
  void Forget(Persistent* object, uint32_t id, bool keepStored) noexcept;
  void LeaveRegistry() noexcept;
  uint32_t NewDatabaseID() const;
  void CheckTables(uint64_t size) const;
  std::vector<Persistent*> ModifiedObjects() const;
  void SaveObjects(const std::vector<Persistent*>& objects, bool forceHeader,
                   const GrowthHook& grown);
  uint32_t WriteBeside(const std::vector<Persistent*>& objects, const GrowthHook& grown);
  uint32_t PlaceSelf();
  void Grow(const GrowthHook& grown);
  void WriteHeader(uint32_t offset, bool forceHeader);

  std::unique_ptr<Stream> fHandler;
  uint32_t fDataStart = 0;
  uint32_t fDatabaseOffset = 0;
  uint32_t fObjectOffset = 0;
  // A header write failed part way: the stored header may name either copy.
  bool fHeaderInDoubt = false;
  std::map<uint32_t, Persistent*> fLoaded;
  uint32_t fDatabaseID = 0;
  uint32_t fVersion = kVersion;
  uint32_t fNextObjectID = kFirstObjectID;
  DBRoots fRoots;
  DBObjects fObjects;
};

#pragma pop_macro("GetObject")

// A database identity from the local time: seconds counted with 365-day
// years since 1900 and 31-day months, modulo 2^32. Two databases made in the
// same second share it; a new database takes the next one not open.
uint32_t DatabaseIDFromLocalTime(const LocalDateTime& time);
