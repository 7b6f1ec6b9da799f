// The engine's usage rows in GH_Track, one per film GMID.
#include <algorithm>
#include <climits>
#include <cstdlib>

#include "database/CDDatabase.h"
#include "database/TableFields.h"
#include "films/FilmUserDataReaders.h"

using namespace tablefields;

namespace {

// Decimal as atoi reads it (leading blanks, a sign, digits up to the first
// other character), held to 32 bits where atoi's result is undefined.
int32_t GmidOf(const std::string& text) {
  const long value = std::strtol(text.c_str(), nullptr, 10);
  if (value > INT32_MAX) return INT32_MAX;
  if (value < INT32_MIN) return INT32_MIN;
  return int32_t(value);
}

}  // namespace

void CDDatabase::WriteUsageRecord(const UsageRecord& r) {
  C4Table* t = fTrackTable;
  if (!t) return;
  SetNumber(t, "TRACKING_I", r.trackingId);
  SetNumber(t, "GMID", r.gmid);
  SetNumber(t, "EM_COUNT", r.emCount);
  SetText(t, "EM_TEXT", BufferText(r.emText));
  SetNumber(t, "EM_TEXT_CO", r.emTextCount);
  SetNumber(t, "MODE_P", r.modeP);
  SetNumber(t, "MODE_A", r.modeA);
  SetNumber(t, "MODE_S", r.modeS);
  SetText(t, "REC_SAVED", BufferText(r.recSaved));
}

void CDDatabase::ReadUsageRecord(UsageRecord& r) {
  C4Table* t = fTrackTable;
  if (!t) return;
  GetNumber(t, "TRACKING_I", r.trackingId);
  GetNumber(t, "GMID", r.gmid);
  GetNumber(t, "EM_COUNT", r.emCount);
  GetText(t, "EM_TEXT", r.emText);
  GetNumber(t, "EM_TEXT_CO", r.emTextCount);
  GetNumber(t, "MODE_P", r.modeP);
  GetNumber(t, "MODE_A", r.modeA);
  GetNumber(t, "MODE_S", r.modeS);
  GetText(t, "REC_SAVED", r.recSaved);
}

int32_t CDDatabase::AppendUsageRecord(UsageRecord& record) {
  C4Table* t = fTrackTable;
  if (!t) return 1;
  const int32_t started = C4AppendStart(t, 1);
  if (Failed(t, gh_library::TableStep::Write, started) || started != 0) return 1;
  WriteUsageRecord(record);
  const int32_t appended = AppendNumbered(t, "TRACKING_I", record.trackingId);
  const bool failed = Failed(t, gh_library::TableStep::Write, appended) || appended != 0;
  const bool unflushed = Failed(t, gh_library::TableStep::Write, C4Flush(t));
  return failed || unflushed ? 1 : 0;
}

int32_t CDDatabase::UpdateUsageRecord(const UsageRecord& record) {
  C4Table* t = fTrackTable;
  if (!t) return 1;
  Failed(t, gh_library::TableStep::Write, C4First(t));
  if (C4Seek(t, NumberKey(record.trackingId).c_str()) != 0) return 1;
  WriteUsageRecord(record);
  return Failed(t, gh_library::TableStep::Write, C4Flush(t)) ? 1 : 0;
}

int32_t CDDatabase::ReadAllUsageRecords(std::vector<UsageRecord>& list) {
  C4Table* t = fTrackTable;
  if (!t) return 2;
  list.clear();
  C4First(t);
  while (!C4AtEnd(t)) {
    if (!C4IsDeleted(t)) {
      UsageRecord record;
      ReadUsageRecord(record);
      list.push_back(record);
    }
    if (C4Skip(t, 1) != 0) break;
  }
  return 0;
}

bool CDDatabase::CountFilmUse(const std::string& filmPath, UsageEvent event) {
  std::vector<UsageRecord> rows;
  ReadAllUsageRecords(rows);
  const int32_t gmid = GmidOf(LookupFilmUserValue("GMID", filmPath));
  auto counter = [event](UsageRecord& r) -> int32_t& {
    switch (event) {
      case UsageEvent::StartOnRequest: return r.modeP;
      case UsageEvent::PlaylistAdvance: return r.modeA;
      case UsageEvent::SpriteAction: break;
    }
    return r.emCount;
  };
  bool failed = false;
  auto found = std::find_if(rows.begin(), rows.end(), [gmid](const UsageRecord& r) { return r.gmid == gmid; });
  if (found != rows.end()) {
    ++counter(*found);
    failed = UpdateUsageRecord(*found) != 0;
  } else {
    UsageRecord fresh;
    fresh.gmid = gmid;
    counter(fresh) = 1;
    CopyToBuffer(fresh.recSaved, "N");
    failed = AppendUsageRecord(fresh) != 0;
  }
  // Counted at every film: playback goes on, and the user hears once a
  // run that the counts are not kept.
  if (!failed) return false;
  if (!fFailures.WasTold("GH_Track")) return true;
  fFailures.MarkTold("GH_Track");  // forgets what this count noted
  return false;
}
