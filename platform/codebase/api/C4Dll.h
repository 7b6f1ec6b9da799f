/* The xBase table engine C4DLL.DLL as the programs call it.
 *
 * Every entry is __stdcall and is exported by ordinal only (see C4DLL.def);
 * the programs link the import library, which binds each name below to its
 * ordinal. Handles are opaque; null means none. No entry raises an error or
 * shows a message: failures are the codes below or null handles.
 *
 * Codes: 0 done or found; 1 a skip went before the first row (the first row
 * is current); 2 a seek found no row (no row is current); 3 past the last
 * row, or no row at all. Negative codes are failures.
 */
#ifndef C4DLL_H
#define C4DLL_H

#include <stddef.h>
#include <stdint.h>

#ifdef _WIN32
#define C4API __stdcall
#else
#define C4API
#endif

#ifdef __cplusplus
extern "C" {
#endif

enum {
  C4_OK = 0,
  C4_BOF = 1,
  C4_NOT_FOUND = 2,
  C4_EOF = 3,
  C4_BAD_ARGUMENT = -1,
  C4_IO_ERROR = -2,
  C4_DAMAGED = -3,    /* a file contradicts itself */
  C4_TRUNCATED = -4,  /* a file ends before what its header announces */
  C4_NO_APPEND = -5,  /* append without start-append */
  C4_NO_ROW = -6,     /* a change with no current row */
  C4_NO_ROOM = -7,    /* the value does not fit its field */
  C4_PACKED = -8,     /* another program packed the table; the pending change was not written */
  C4_EXISTS = -9,
  C4_UNSUPPORTED = -10,
  C4_BAD_VERSION = -11 /* initialise with another version than C4_VERSION */
};

#define C4_VERSION 6500

/* The engine's structure, held by value by its owner. The owner sets the
 * two option words after initialising (the first to 1, the one at byte 210
 * to 0); this engine keeps them and works the same whatever they hold: it
 * always loads a table's tags and never shows an error. */
#pragma pack(push, 1)
typedef struct C4Engine {
  int32_t autoOpen;    /* byte 0 */
  int32_t version;     /* byte 4 */
  void* state;         /* byte 8: the engine's own, never touched by the owner */
  unsigned char reserved1[202 - sizeof(void*)];
  int32_t errorReport; /* byte 210 */
  unsigned char reserved2[42];
} C4Engine;
#pragma pack(pop)

typedef struct C4Table C4Table;
typedef struct C4Tag C4Tag;
typedef struct C4Field C4Field;

/* What C4Create asks for. Fields: type 'C' (width 1-254), 'N' (width
 * 1-20, decimals), 'M' (memo), 'L' or 'D'; the list ends with a null name.
 * Tags: a name and the field it orders by, at most one tag a field; the
 * list ends with a null name. The table keeps its tags' names in its field
 * descriptors as well as in path.tags, and writes path.tags again from them
 * when it is missing or says otherwise. */
typedef struct C4FieldSpec {
  const char* name;
  char type;
  int32_t width;
  int32_t decimals;
} C4FieldSpec;

typedef struct C4TagSpec {
  const char* name;
  const char* field;
} C4TagSpec;

/* 41: version must be C4_VERSION; name and the last two are unused (null, 0, 0). */
int32_t C4API C4Init(C4Engine* engine, const char* name, int32_t version, int32_t unused1, int32_t unused2);
/* 56: ends the set-up; nothing to do here. */
int32_t C4API C4InitDone(C4Engine* engine);
/* 29: closes, writing their changed rows, every table still open. */
int32_t C4API C4Release(C4Engine* engine);

/* 115: path without extension: the files are path.dbf, path.fpt, path.tags,
 * and path.jnl while a pack or compaction is under way or was cut short:
 * whoever opens or locks the table next puts the table back from it. */
C4Table* C4API C4Open(C4Engine* engine, const char* path);
/* 84: writes a changed row; the handle is invalid afterwards. */
int32_t C4API C4Close(C4Table* table);
/* 302: creates a new table (never over an existing one) and opens it. */
C4Table* C4API C4Create(C4Engine* engine, const char* path, const C4FieldSpec* fields, const C4TagSpec* tags);

/* 140 and 144: a tag by name (letter case ignored); selecting null selects record order. */
C4Tag* C4API C4FindTag(C4Table* table, const char* name);
int32_t C4API C4SelectTag(C4Table* table, C4Tag* tag);

/* Positioning; each first writes a changed row. */
int32_t C4API C4First(C4Table* table);                  /* 147: 0 or 3 */
int32_t C4API C4Last(C4Table* table);                   /* 81: 0 or 3 */
int32_t C4API C4Skip(C4Table* table, int32_t n);        /* 139: 0, 1 or 3 */
int32_t C4API C4AtEnd(C4Table* table);                  /* 89: non-zero with no current row */
int32_t C4API C4IsDeleted(C4Table* table);              /* 88: non-zero for a row marked deleted */
/* 133: exact: on a character tag the whole text (trailing blanks ignored,
 * letter case kept); on a numeric tag the text read as a decimal number. */
int32_t C4API C4Seek(C4Table* table, const char* key);
/* 300: 0 when the row after the current one in tag order has the key; when
 * the current row does not have the key, the first row that has it. */
int32_t C4API C4SeekNext(C4Table* table, const char* key);
int32_t C4API C4Count(C4Table* table);                  /* 124: rows, marked ones included */
/* 303: non-zero once a read of this table met a memo it could not follow
 * (a pointer that leads nowhere, a memo that runs past the file's end). */
int32_t C4API C4Damaged(C4Table* table);

int32_t C4API C4AppendStart(C4Table* table, int32_t useMemos); /* 78: blank buffer; useMemos unused */
int32_t C4API C4Append(C4Table* table);                 /* 76: adds the buffer as the last row */
/* 304: C4Append, with the numeric field of the new row first set, under
 * the table's lock, to one more than the greatest value that field holds in
 * any row, marked ones included (1 when none is above 0): two programs
 * appending at once never take the same number. The new row is current, so
 * C4GetNumber(field) answers the number it was given. */
int32_t C4API C4AppendNumbered(C4Table* table, C4Field* field);
int32_t C4API C4MarkDeleted(C4Table* table);            /* 301: marks the current row */
/* 95: writes a changed row. C4_DAMAGED when a memo to be cleared has a
 * pointer that leads nowhere: the pointer is kept, the other fields are
 * written, and C4Damaged tells it from then on. */
int32_t C4API C4Flush(C4Table* table);
/* 119 and 131: remove marked rows (no row is current afterwards), and
 * rewrite the memo file with only the memos rows point at. Each leaves the
 * files as they are when there is nothing to remove; a failure leaves the
 * table as it was. */
int32_t C4API C4Pack(C4Table* table);
int32_t C4API C4CompactMemo(C4Table* table);

/* 90: a field by name (letter case ignored), null when the table lacks it. */
C4Field* C4API C4FindField(C4Table* table, const char* name);
/* Values of the current row: with none, 0 and blanks. The texts stay valid
 * until the same field is read again or its table closes. */
int32_t C4API C4GetNumber(C4Field* field);              /* 202 */
const char* C4API C4GetText(C4Field* field);            /* 216: padded with blanks to the width */
const char* C4API C4GetMemo(C4Field* field);            /* 212: also reads character fields */
int32_t C4API C4SetNumber(C4Field* field, int32_t value);   /* 189 */
int32_t C4API C4SetText(C4Field* field, const char* text);  /* 185: cut to the width */
int32_t C4API C4SetMemo(C4Field* field, const char* text);  /* 205 */

#ifdef __cplusplus
}
#endif

#endif
