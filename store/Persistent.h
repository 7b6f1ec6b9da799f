#pragma once
// A stored object with an identity in its database. Memory obtained for a
// database is recorded with it: the object then starts modified, and
// deleting it takes it out of its database (and, unless it is marked
// keep-stored, out of the object table).
//
// Persistent must be the first base of a class made for a database: the
// record is kept by the address of the allocation.
#include <cassert>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "Factory.h"
#include "Serialisable.h"

class Database;

class Persistent : public Serialisable {
public:
  static void* operator new(std::size_t size);
  static void* operator new(std::size_t size, Database* database);
  static void operator delete(void* address);
  // Used only when a constructor throws after the allocation for a database.
  static void operator delete(void* address, Database* database);

  ~Persistent() override;

  // The database this object's memory was obtained for, or null.
  Database* GetDatabase() const;
  // Asks the database for a new ID the first time one is needed.
  uint32_t GetID();
  uint32_t GetStoredID() const { return fObjectID; }
  void SetID(uint32_t id);
  void SetModified(bool modified) { fModified = modified; }
  bool IsModified() const { return fModified; }
  // Deleting the object in memory then leaves it stored.
  void KeepStored() { fKeepStored = true; }
  bool IsKeptStored() const { return fKeepStored; }

  // Reads an envelope and makes the object by its class name for the
  // database; throws FactoryError for an unknown class.
  static Persistent* LoadFrom(Stream& stream, Database* database);

protected:
  Persistent();
  // A copy made for a database becomes a new object there: it takes no ID
  // from the original.
  Persistent(const Persistent& other);
  // Assigning changes the contents, not which stored object this is.
  Persistent& operator=(const Persistent& other);

private:
  friend class Database;
  // The live objects whose memory belongs to the database, oldest first.
  static std::vector<Persistent*> ObjectsOf(const Database* database);
  // Ends the tie of a live object to the database without reaching the
  // database; false when the address is not such an object (it may already
  // have been deleted, so it is only compared, never followed).
  static bool ReleaseFromDatabase(const Persistent* object, const Database* database);

  bool fModified;
  bool fKeepStored = false;
  uint32_t fObjectID = 0;
};

class PersistentFactory : public Factory<PersistentFactory> {
public:
  virtual Persistent* Make(Database* database) = 0;

protected:
  explicit PersistentFactory(const std::string& className) : Factory(className) {}
};

// Registered under the class name; makes a default-constructed T.
template <class T>
class PersistentMaker : public PersistentFactory {
public:
  explicit PersistentMaker(const std::string& className) : PersistentFactory(className) {}
  Persistent* Make(Database* database) override {
    T* object = new (database) T;
    assert(static_cast<void*>(static_cast<Persistent*>(object)) == static_cast<void*>(object));
    return object;
  }
};
