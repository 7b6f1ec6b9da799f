#pragma once
// The engine's connection to the CD database: the xBase tables of
// registered CDs, their films, the drives that hold them, the command texts
// bound to sprites and the engine's usage rows. One object per run; every
// member works on a table's current row, which it positions itself.
//
// Members answer with small codes: 0 done or found, 1 not found or failed,
// 2 table not open or nothing to do, 3 past the last row, 4 CD already
// registered. A field that a table lacks is skipped on write and leaves the
// member unchanged on read. Every answer is to be read; the engine's
// failures to write are also noted, for the user to hear of them once at
// the end of the action (`ReportWriteFailures`).
#include <cstdint>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "C4Dll.h"
#include "GH_CDRegistration.h"
#include "GH_FoundFilms.h"
#include "GH_LibraryNotices.h"
#include "database/CDRecords.h"

class CP_FileSpec;

// What a usage row counts.
enum class UsageEvent { StartOnRequest, PlaylistAdvance, SpriteAction };

class CDDatabase {
public:
  // Opens the tables under the DBPath setting; never fails: a table that
  // does not open keeps a null handle.
  explicit CDDatabase(const std::string& applicationName);
  ~CDDatabase();
  CDDatabase(const CDDatabase&) = delete;
  CDDatabase& operator=(const CDDatabase&) = delete;

  int32_t InitialisationResult() const { return fInitResult; }
  bool IsConfigOpen() const { return fConfigTable != nullptr; }
  bool IsDriveOpen() const { return fDriveTable != nullptr; }
  bool IsActionOpen() const { return fActionTable != nullptr; }
  bool IsTrackOpen() const { return fTrackTable != nullptr; }
  bool IsFunctionOpen() const { return fFunctionTable != nullptr; }
  bool IsParameterOpen() const { return fParameterTable != nullptr; }
  // Writes GH_ConfigDB's changed row to disk; true when that failed.
  [[nodiscard]] bool FlushItems();

  // ---- items (GH_ConfigDB) ----
  void WriteItemFields(const PlaylistEntry& entry);
  // True when the append failed. The new row's number goes into `entry`.
  [[nodiscard]] bool AppendItem(PlaylistEntry& entry, bool flush);
  void ReadItem(PlaylistEntry& entry);
  // False when found; true when not found or the table is not open.
  [[nodiscard]] bool LookupItem(PlaylistEntry& entry);
  [[nodiscard]] int32_t LastItemID();
  int32_t ReadAllItems(std::vector<PlaylistEntry>& list);

  // ---- drives (GH_DriveDB) ----
  void WriteDriveRecord(const DriveRecord& record);
  void ReadDriveRecord(DriveRecord& record);
  [[nodiscard]] int32_t FindDriveRecord(DriveRecord& record);
  // The row is written first; the films folder's setting follows only a
  // row that was written.
  [[nodiscard]] int32_t SelectMovieDirectoryDrive(const DriveRecord& record);

  // ---- look-ups ----
  [[nodiscard]] std::string GetVolumeLabel(const std::string& root);
  [[nodiscard]] bool FindCDItemByVolume(const std::string& label, std::string& aliasRoot, int32_t& itemId,
                                        int32_t& filmCount);
  [[nodiscard]] int32_t FindItemByAlias(const std::string& aliasRoot);
  [[nodiscard]] std::string AliasForVolume(const std::string& label);
  [[nodiscard]] int32_t ActionExists(const std::string& aliasRoot, const std::string& sprite, int32_t kind);
  int32_t ReadAllDrives(std::vector<DriveRecord>& drives);

  // ---- sprite actions (GH_ActionDB) ----
  [[nodiscard]] int32_t FindSpriteAction(ActionRecord& query);
  void WriteActionRecord(const ActionRecord& record);
  void ReadActionRecord(ActionRecord& record);
  [[nodiscard]] int32_t StoreActionRecord(ActionRecord& record);
  // StoreActionRecord, answering whether it appended a row or rewrote one.
  enum class ActionStored { Appended, Rewritten, Failed };
  [[nodiscard]] ActionStored StoreAction(ActionRecord& record);
  [[nodiscard]] int32_t UpdateActionRecord(const ActionRecord& record);

  // ---- usage (GH_Track) ----
  void WriteUsageRecord(const UsageRecord& record);
  void ReadUsageRecord(UsageRecord& record);
  [[nodiscard]] int32_t AppendUsageRecord(UsageRecord& record);
  [[nodiscard]] int32_t UpdateUsageRecord(const UsageRecord& record);
  int32_t ReadAllUsageRecords(std::vector<UsageRecord>& list);
  // Counts one event on the usage row of the film's GMID, appending the
  // row on its first event. Failures leave the table as it was. True when
  // a failure waits to be told (`ReportWriteFailures`): the user hears once
  // a run that the counts are not kept.
  bool CountFilmUse(const std::string& filmPath, UsageEvent event);

  // ---- play list ----
  int32_t BuildPlaylistFromDatabase(std::vector<PlaylistEntry>& playlist);

  // ---- installed films ----
  // Appends the film's row under the location row of `aliasRoot` unless
  // `playlist` (the engine's play list) knows the film already by its own
  // name. A known film is judged by the listed rows' files: a row whose
  // file has gone takes the film's file name (in the table and in
  // `playlist`); only a true second copy is AlreadyListed. `shownText`
  // gets the new row's text (the renamed row's text, also when the rename
  // fails), empty when the film is known, and is left alone when there is
  // no location row.
  [[nodiscard]] FilmRecording RegisterInstalledFilm(const CP_FileSpec& film, const std::string& aliasRoot,
                                                    const std::string& sizeText, std::string& shownText,
                                                    std::vector<PlaylistEntry>& playlist);
  // Gives a film's row the name its file was given outside the engine: 0
  // done, 1 no such row, a name wider than the field or a failed write, 2
  // table not open.
  [[nodiscard]] int32_t RenameItemFile(int32_t itemId, const std::string& fileName);

  // ---- what the user is told of the tables ----
  // Once per start: the tables that did not open, with their folder.
  void ReportUnreadableTables() const;
  // Once per start, after its reads: the tables whose memos could not all
  // be read.
  void ReportDamagedTables() const;
  // Once per run: the item table cannot be written, and why.
  void ReportUnchangeableLibrary();
  // Films renamed outside the engine whose rows kept the old names, each a
  // title and the new name: one box for a scan.
  void ReportFilmsNotRenamed(const std::vector<std::pair<std::string, std::string>>& films) const;
  // One box for the writes, packs and compactions that failed since the
  // last report; true when any had failed.
  bool ReportWriteFailures();

  // ---- CD registration ----
  // One program registers at a time. A registration that fails part way
  // (code 1) takes out every row it appended, unless the user was told
  // otherwise.
  int32_t RegisterInsertedCD(std::string& aliasRoot, int32_t& itemId, int32_t& filmCount);
  int32_t RegisterCD(std::string& aliasRoot, int32_t& itemId, int32_t& filmCount);

private:
  void AdoptMovieDirectory();
  // The caller holds `lock`; it is let go before any box shows.
  int32_t RegisterCD(gh_library::RegistrationLock& lock, std::string& aliasRoot, int32_t& itemId,
                     int32_t& filmCount);
  // Reads the item and action records behind the header of a version-3
  // data file; the action records are stored as they are read, and the
  // numbers of the rows appended go into `appendedActions`. False when an
  // action could not be stored.
  bool ReadVersion3CD(std::string& aliasRoot, std::FILE* file, int32_t itemCount, int32_t actionCount,
                      const std::string& volumeLabel, std::vector<PlaylistEntry>& list,
                      std::vector<int32_t>& appendedActions);
  // Appends the CD's entries in list order, each under the new number of
  // the entry it hangs under; `appended` gets the new rows' numbers. False
  // at the first write the table refuses.
  bool AppendCDEntries(std::vector<PlaylistEntry>& list, int32_t filmCount, int32_t& itemId,
                       std::vector<int32_t>& appended);
  // The ACTIONID of the first row with this alias root, sprite and kind;
  // false when there is none.
  bool FindActionRowId(const std::string& aliasRoot, const std::string& sprite, int32_t kind,
                       int32_t& actionId);
  // Packs, compacts and closes the table, noting what failed.
  void PackAndClose(C4Table*& table);
  // True when the engine's answer is a failure, which is then noted.
  bool Failed(C4Table* table, gh_library::TableStep step, int32_t code);
  const char* TableName(C4Table* table) const;

  C4Engine fEngine{};
  C4Table* fConfigTable = nullptr;
  C4Table* fDriveTable = nullptr;
  std::string fApplicationName;
  C4Table* fActionTable = nullptr;
  C4Table* fFunctionTable = nullptr;
  C4Table* fParameterTable = nullptr;
  C4Table* fTrackTable = nullptr;
  int32_t fInitResult = -1;
  std::string fSettingsFile;
  std::string fFolder;                    // DBPath, where the tables lie
  std::vector<std::string> fUnreadable;   // the tables that did not open
  bool fToldUnchangeable = false;
  gh_library::TableFailures fFailures;  // noted until the action's end tells them
};
