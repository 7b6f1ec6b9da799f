#pragma once
// A reference to a stored object, possibly in another open database, loaded
// when first used. It does not own its target: loaded objects belong to
// their database.
#include <cstdint>

#include "Database.h"
#include "Exception.h"
#include "Persistent.h"
#include "Stream.h"

template <class T>
class db_ptr : public Persistent {
public:
  explicit db_ptr(T* target = nullptr) : fTarget(target) {}
  db_ptr(const db_ptr& other)
      : Persistent(other),
        fObjectID(other.fObjectID),
        fDatabaseID(other.fDatabaseID),
        fTarget(other.fTarget) {}
  db_ptr& operator=(const db_ptr& other) {
    Persistent::operator=(other);
    fObjectID = other.fObjectID;
    fDatabaseID = other.fDatabaseID;
    fTarget = other.fTarget;
    return *this;
  }

  // Replaces the target; the IDs follow it when the pointer is written.
  void Set(T* target) { fTarget = target; }

  // Null when the IDs are 0 or the database is not open; IOError when the
  // open database cannot produce the object, or what it produces is not a T.
  T* Get() {
    if (!fTarget) LoadTarget();
    return fTarget;
  }

  bool Is(T* object) {
    if (!object) LoadTarget();
    return fTarget == object;
  }

  uint32_t GetObjectID() const { return fObjectID; }
  uint32_t GetDatabaseID() const { return fDatabaseID; }

  std::string ClassName() const override { return "db_ptr"; }
  uint32_t SerialisedSize() const override { return Persistent::SerialisedSize() + 10; }

  // The target is left as it is: it is loaded on first use.
  void ReadContents(Stream& stream) override {
    stream.ReadUInt32(fObjectID);
    stream.ReadUInt32(fDatabaseID);
  }

  void WriteContents(Stream& stream) override {
    if (fTarget) {
      fObjectID = fTarget->GetID();
      Database* database = fTarget->GetDatabase();
      fDatabaseID = database ? database->GetDatabaseID() : 0;
    }
    stream.WriteUInt32(fObjectID);
    stream.WriteUInt32(fDatabaseID);
  }

private:
  void LoadTarget() {
    if (fObjectID == 0) return;
    Database* database = Database::Find(fDatabaseID);
    if (!database) return;
    // A damaged file may name an object of another class: never cast blindly.
    T* target = dynamic_cast<T*>(database->GetObject(fObjectID));
    if (!target) {
      throw IOError("Could not read pointed object: " + FormatSourceLocation(138, "db_ptr"));
    }
    fTarget = target;
  }

  uint32_t fObjectID = 0;
  uint32_t fDatabaseID = 0;
  T* fTarget;
};

// A pointer as an element of a db_vector: its two IDs.
template <class T>
struct db_ptr_traits {
  using value_type = db_ptr<T>;
  static constexpr uint32_t kSize = 10;
  static void Read(Stream& stream, db_ptr<T>& pointer) { pointer.ReadContents(stream); }
  static void Write(Stream& stream, db_ptr<T>& pointer) { pointer.WriteContents(stream); }
};
