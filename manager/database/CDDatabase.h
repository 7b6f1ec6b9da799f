#pragma once
// The library manager's CD database: the CodeBase tables of registered CDs,
// their locations and films, the drives and folders where films lie and the
// commands bound to films' sprites, with every operation on their rows.
//
// Operations that answer a bool answer true for "failed": the engine
// reported a non-zero code, the row is missing, or the table is not open.
// Every answer is to be read: a write that failed has changed nothing the
// screen may show. The engine's failures are also noted, for the user to
// hear of them once at the end of the action (`ReportWriteFailures`).
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "C4Dll.h"
#include "CDRecords.h"
#include "CP_Win.h"
#include "GH_CDRegistration.h"
#include "GH_FoundFilms.h"
#include "GH_Globals.h"
#include "GH_LibraryNotices.h"

class CP_FileSpec;

// Whether a drive row can take new values.
enum class DriveRowCheck {
  Writable,
  Missing,     // no row has the label, or the table is not open
  TooLong,     // a value is longer than its field
  Unwritable,  // the table cannot be written
};

class CDDatabase {
 public:
  explicit CDDatabase(const std::string& applicationName);
  ~CDDatabase();
  CDDatabase(const CDDatabase&) = delete;
  CDDatabase& operator=(const CDDatabase&) = delete;

  void FillFilmsFolderDrivePath();

  // Items (GH_ConfigDB, key ITEM_ID).
  void WriteItemFields(const PlaylistEntry& entry);
  void ReadItem(PlaylistEntry& entry);
  [[nodiscard]] bool AppendItem(PlaylistEntry& entry, bool flush);
  [[nodiscard]] bool UpdateItem(const PlaylistEntry& entry, bool flush);
  [[nodiscard]] bool DeleteItem(const PlaylistEntry& entry, bool pack);
  [[nodiscard]] bool FindItem(PlaylistEntry& entry);
  // Writes the item table's changed row; true when that failed.
  [[nodiscard]] bool FlushItems();
  [[nodiscard]] int32_t LastItemId();
  int32_t LoadItems(PlaylistEntries& items);
  // The film rows that show the entry's file, the entry's own row included.
  [[nodiscard]] int32_t CountItemCopies(const PlaylistEntry& entry);
  [[nodiscard]] bool FindCDByVolumeName(const std::string& volumeName, std::string& aliasRoot, int32_t& itemId,
                                        int32_t& filmCount);
  [[nodiscard]] int32_t ItemIdByAliasRoot(const std::string& aliasRoot);
  [[nodiscard]] int32_t CountFilms(int32_t parentId);

  // Drives (GH_DriveDB, key LABEL).
  void WriteDriveRecord(const DriveRecord& drive);
  void ReadDriveRecord(DriveRecord& drive);
  [[nodiscard]] bool FindDriveRecord(DriveRecord& drive);
  // Failed also when a value does not fit its field or the flush fails;
  // the row then keeps its own values.
  [[nodiscard]] bool UpdateDriveRecord(const DriveRecord& drive);
  // Finds out, without changing the row, whether UpdateDriveRecord would
  // succeed: the new values are tried against the fields and the row is
  // rewritten with the values it holds.
  [[nodiscard]] DriveRowCheck CheckDriveRecordUpdate(const DriveRecord& drive);
  int32_t LoadDrives(std::vector<DriveRecord>& drives);
  [[nodiscard]] std::string FilmsFolderPath();

  // Actions (GH_ActionDB, key ACTIONID).
  void WriteActionRecord(const ActionRecord& action);
  void ReadActionRecord(ActionRecord& action);
  // True when no row has these three values.
  [[nodiscard]] bool FindActionRecord(const char* aliasRoot, const char* sprite, int32_t actionType);
  [[nodiscard]] bool AppendActionRecord(ActionRecord& action);
  // AppendActionRecord, answering whether it appended a row or rewrote one.
  enum class ActionStored { Appended, Rewritten, Failed };
  [[nodiscard]] ActionStored StoreAction(ActionRecord& action);
  [[nodiscard]] bool UpdateActionRecord(const ActionRecord& action);

  // Changes of many rows at once.
  // True when the CD's rows are not all gone: none had its alias root, or
  // the table would not take a mark. The CD's actions go only with its rows.
  [[nodiscard]] bool DeleteCDRecords(const std::string& aliasRoot);
  // Tells of its own failures: the list keeps every film whose row stays.
  void EmptyWastebasket(PlaylistEntries& items);
  // True when it forgot a film.
  [[nodiscard]] bool RemoveMissingInstalledFilms();
  // False only when the folder answered that it holds no such file: a file
  // that cannot be reached (a path, network or access error) counts as
  // there, so that nothing is forgotten for it.
  [[nodiscard]] static bool FileExistsInFolder(const std::string& folder, const std::string& fileName);
  // Gives a film's row the name its file was given outside the program.
  // True when the row did not take it: no such row, a name wider than the
  // field, or a write that failed.
  [[nodiscard]] bool RenameItemFile(int32_t itemId, const std::string& fileName);
  // Appends the film's row under the location of `aliasRoot`. A film whose
  // title is listed there already is judged by the listed rows' files: a
  // row whose file has gone takes the film's file name (`itemText` then
  // gets the row's text, also when that fails); only a true second copy is
  // AlreadyListed.
  [[nodiscard]] FilmRecording RegisterInstalledFilm(const CP_FileSpec& film, const std::string& aliasRoot,
                                                    const std::string& textToAppend, std::string& itemText);
  // The same, the film's preferences read by the caller's reader, which
  // runs only once the location is known.
  using PreferencesReader = std::function<void(manager_data::Preferences&)>;
  [[nodiscard]] FilmRecording RegisterInstalledFilm(const CP_FileSpec& film, const PreferencesReader& readPreferences,
                                                    const std::string& aliasRoot, const std::string& textToAppend,
                                                    std::string& itemText);
  static INT_PTR CALLBACK ImportWaitDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

  // What the user is told of the tables. Once per start: the tables that
  // did not open, with their folder. Once per run: the item table cannot
  // be written, and why.
  void ReportUnreadableTables() const;
  void ReportUnchangeableLibrary();
  // Films renamed outside the program whose rows kept the old names, each
  // a title and the new name: one box for a scan.
  void ReportFilmsNotRenamed(const std::vector<std::pair<std::string, std::string>>& films) const;
  // The tables whose memos a read could not follow, each once per run.
  void ReportDamagedTables();
  // One box for the writes, packs and compactions that failed since the
  // last report; true when any had failed.
  bool ReportWriteFailures();
  // A write of the table that failed where the engine's answer is not at
  // hand; told with the others.
  void NoteFailedWrite(const char* table);

  // CD registration: 0 registered, 1 an append failed (nothing of the CD
  // is left in the tables, unless the user was told otherwise), 2 nothing
  // to register, 4 already registered, -1 DAO missing. One program
  // registers at a time.
  [[nodiscard]] int32_t RegisterCD(std::string& alias, int32_t& cdItemId, int32_t& filmCount);

  // Set while a scan of the film folders runs on this database: a scan
  // started meanwhile (from a message handled under one of its boxes) would
  // ask the same questions again.
  bool IsScanning() const { return fScanning; }
  void SetScanning(bool scanning) { fScanning = scanning; }

  // The open tables, null when a table could not be opened.
  C4Table* ConfigTable() const { return fConfig; }
  C4Table* DriveTable() const { return fDrive; }
  C4Table* ActionTable() const { return fAction; }
  C4Table* TrackTable() const { return fTrack; }
  const std::string& ApplicationName() const { return fApplicationName; }
  // DBPath, the folder the tables lie in.
  const std::string& TablesFolder() const { return fFolder; }
  int32_t InitResult() const { return fInitResult; }

 private:
  void SelectTag(C4Table* table, const char* tag);
  // Puts the drive's values into its row and flushes; a trial, or values
  // that do not fit, put the row's own values back before the flush.
  DriveRowCheck WriteDriveRow(const DriveRecord& drive, bool trial);
  // Whether the current row holds the drive's values: the engine cuts a
  // text to its field's width.
  bool RowHoldsDrive(const DriveRecord& drive);
  // Seeks the alias root on the ALIASROOT tag; ITEMID is selected again after.
  bool SeekAliasRoot(const std::string& aliasRoot, int32_t& itemId);
  // The first row with these three values, or false.
  bool FindMatchingAction(const char* aliasRoot, const char* sprite, int32_t actionType, ActionRecord& found);
  // The caller holds `lock`; it is let go before any box shows.
  int32_t ImportCDContents(gh_library::RegistrationLock& lock, std::string& alias, int32_t& cdItemId,
                           int32_t& filmCount);
  // Packs and compacts; true when either failed. A memo file met damaged
  // is left as it is and the user told once which table it belongs to.
  bool PackAndCompact(C4Table* table, const char* name);
  void ReportDamagedTables(const std::vector<std::string>& names);
  void PackAndClose(C4Table*& table, const char* name);
  // Marks every row not marked yet that `matches` (on the current row);
  // true when a mark could not be written. `marked` tells whether any was.
  bool MarkRows(C4Table* table, const std::function<bool()>& matches, bool& marked);
  bool IsItemWritable(const PlaylistEntry& entry);
  // True when the engine's answer is a failure, which is then noted.
  bool Failed(C4Table* table, gh_library::TableStep step, int32_t code);
  const char* TableName(C4Table* table) const;

  C4Engine fEngine;
  C4Table* fConfig = nullptr;
  C4Table* fDrive = nullptr;
  std::string fApplicationName;
  C4Table* fAction = nullptr;
  C4Table* fFunction = nullptr;
  C4Table* fParameter = nullptr;
  C4Table* fTrack = nullptr;
  int32_t fInitResult = -1;
  bool fScanning = false;
  std::string fFolder;                         // DBPath, where the tables lie
  std::vector<std::string> fUnreadable;        // the tables that did not open
  std::vector<std::string> fToldDamaged;       // the tables whose damage the user heard of
  bool fToldUnchangeable = false;
  gh_library::TableFailures fFailures;  // noted until the action's end tells them
};

// The settings file of the CD database's own settings accesses: a name the
// profile functions find in the Windows directory, or a full path.
extern std::string cdDatabaseSettingsFile;

// Process-wide: the open CD database and every GH_ConfigDB row in memory.
extern CDDatabase* cdDatabase;
extern PlaylistEntries itemList;

// Whether `itemList` holds an entry with this text and alias root.
bool IsItemTextListed(const std::string& itemText, const std::string& aliasRoot);

// Whether a name or folder taken from a row climbs out of the folder it is
// joined to (".."): such a text names no film of ours.
bool ClimbsOut(const std::string& part);
