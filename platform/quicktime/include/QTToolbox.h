#pragma once
// The movie toolbox as the programs see it: the types, constants and
// functions of QuickTime.qts that the system uses. The programs reach the
// functions through the client glue (qtglue); the library implements them.
// Every function has C linkage and the default calling convention, so the
// library's exports carry these names undecorated.
#include <cstdint>

typedef int16_t OSErr;
typedef uint8_t Boolean;
typedef int32_t Fixed;        // 16.16
typedef uint32_t OSType;      // four-character code, first character in the high byte
typedef int32_t TimeValue;
typedef int32_t TimeScale;
typedef unsigned char Str255[256];    // length byte, then up to 255 characters
typedef unsigned char* StringPtr;
typedef const unsigned char* ConstStr255Param;
typedef char** Handle;        // relocatable block: a pointer to its master pointer
typedef char* Ptr;

typedef struct MovieRecord* Movie;
typedef struct TrackRecord* Track;
typedef struct MediaRecord* Media;
typedef struct UserDataRecord* UserData;
typedef struct TimeBaseRecord* TimeBase;
typedef struct GrafPort* GrafPtr;   // a window's drawing port
typedef GrafPtr CGrafPtr;
typedef GrafPtr WindowPtr;
typedef struct GDevice** GDHandle;  // graphics devices: always none here
typedef struct MovieControllerRecord* MovieController;
typedef int32_t ComponentResult;
// A caller's value handed back to its callbacks. Callers pass pointers, so
// the 64-bit build widens it; the 32-bit build keeps the toolbox's long.
#if defined(_WIN64)
typedef long long QTRefCon;
#else
typedef long QTRefCon;
#endif

struct Point {
  int16_t v;
  int16_t h;
};

struct Rect {
  int16_t top;
  int16_t left;
  int16_t bottom;
  int16_t right;
};

// 64-bit value in two halves; the low half comes first on this platform.
struct wide {
  uint32_t lo;
  int32_t hi;
};

struct TimeRecord {
  wide value;
  TimeScale scale;
  TimeBase base;
};

#pragma pack(push, 2)
// An event as the controllers take it: a window message translated by
// WinEventToMacEvent. `where` is in screen coordinates.
struct EventRecord {
  uint16_t what;
  uint32_t message;  // mouse, update, activate and null events: the window
  uint32_t when;     // ticks, 1/60 s
  Point where;
  uint16_t modifiers;
};

// File specification: with volume 0 and directory 0 the name holds the full path.
struct FSSpec {
  int16_t vRefNum;
  int32_t parID;
  Str255 name;
};
#pragma pack(pop)

static_assert(sizeof(FSSpec) == 262, "FSSpec is stored and passed as 262 bytes");
static_assert(sizeof(Rect) == 8, "Rect is four 16-bit values");
static_assert(sizeof(EventRecord) == 16, "EventRecord is 16 bytes");
static_assert(sizeof(void*) != 4 || sizeof(TimeRecord) == 16, "TimeRecord is 16 bytes");

constexpr OSType FourCharCode(const char (&s)[5]) {
  return (uint32_t(uint8_t(s[0])) << 24) | (uint32_t(uint8_t(s[1])) << 16) |
         (uint32_t(uint8_t(s[2])) << 8) | uint32_t(uint8_t(s[3]));
}

// Errors.
constexpr OSErr noErr = 0;
constexpr OSErr fnfErr = -43;               // file not found
constexpr OSErr ioErr = -36;
constexpr OSErr bdNamErr = -37;             // bad file name (for example longer than 255)
constexpr OSErr eofErr = -39;
constexpr OSErr tmfoErr = -42;              // too many movie files open
constexpr OSErr dupFNErr = -48;             // file exists
constexpr OSErr paramErr = -50;
constexpr OSErr rfNumErr = -51;             // no such movie file reference
constexpr OSErr permErr = -54;
constexpr OSErr wrPermErr = -61;
constexpr OSErr memFullErr = -108;
constexpr OSErr nilHandleErr = -109;
constexpr OSErr invalidMedia = -2008;
constexpr OSErr invalidTrack = -2009;
constexpr OSErr invalidMovie = -2010;
constexpr OSErr invalidDataRef = -2012;
constexpr OSErr invalidDuration = -2014;
constexpr OSErr invalidTime = -2015;
constexpr OSErr mediaTypesDontMatch = -2018;
constexpr OSErr movieToolboxUninitialized = -2020;
constexpr OSErr userDataItemNotFound = -2026;
constexpr OSErr invalidRect = -2036;
constexpr OSErr dataNotOpenForWrite = -2043;
constexpr OSErr noMovieFound = -2048;
constexpr OSErr featureUnsupported = -2053;
constexpr OSErr qtmlDllLoadErr = -2092;           // QuickTime.qts is missing or did not load
constexpr OSErr qtmlDllEntryNotFoundErr = -2093;  // it has no such entry
constexpr OSErr qtmlUninitialized = -2096;        // InitializeQTML has not run

// File permissions of OpenMovieFile.
constexpr int8_t fsCurPerm = 0;
constexpr int8_t fsRdPerm = 1;
constexpr int8_t fsWrPerm = 2;
constexpr int8_t fsRdWrPerm = 3;

// NewMovieFromFile.
constexpr int16_t newMovieActive = 1 << 0;
constexpr int16_t movieInDataForkResID = -1;

// CreateMovieFile.
constexpr int32_t createMovieFileDeleteCurFile = int32_t(1u << 31);
constexpr int32_t createMovieFileDontCreateMovie = 1 << 30;
constexpr int32_t createMovieFileDontOpenFile = 1 << 29;
constexpr int32_t createMovieFileDontCreateResFile = 1 << 28;

constexpr int16_t smSystemScript = -1;

constexpr OSType VideoMediaType = FourCharCode("vide");
constexpr OSType SoundMediaType = FourCharCode("soun");

// Event kinds and modifiers.
constexpr uint16_t nullEvent = 0;
constexpr uint16_t mouseDown = 1;
constexpr uint16_t mouseUp = 2;
constexpr uint16_t keyDown = 3;
constexpr uint16_t keyUp = 4;
constexpr uint16_t autoKey = 5;
constexpr uint16_t updateEvt = 6;
constexpr uint16_t activateEvt = 8;
constexpr uint16_t activeFlag = 0x0001;
constexpr uint16_t btnState = 0x0080;  // set while the button is up
constexpr uint16_t shiftKey = 0x0200;
constexpr uint16_t alphaLock = 0x0400;
constexpr uint16_t optionKey = 0x0800;
constexpr uint16_t controlKey = 0x1000;

// NewMovieController.
constexpr int32_t mcTopLeftMovie = 1 << 0;     // the movie at the rectangle's top-left corner
constexpr int32_t mcScaleMovieToFit = 1 << 1;  // the movie scaled to the rectangle
constexpr int32_t mcWithBadge = 1 << 2;
constexpr int32_t mcNotVisible = 1 << 3;       // no controller bar
constexpr int32_t mcWithFrame = 1 << 4;        // a frame around the movie

// Controller actions: MCDoAction and the action filter.
constexpr int16_t mcActionIdle = 1;
constexpr int16_t mcActionActivate = 3;
constexpr int16_t mcActionDeactivate = 4;
constexpr int16_t mcActionPlay = 8;        // params: the rate, 16.16; 0 stops
constexpr int16_t mcActionGoToTime = 12;   // params: a TimeRecord*; the rate is kept
constexpr int16_t mcActionSetVolume = 14;  // params: the volume, 8.8; below 0 is silent
constexpr int16_t mcActionGetVolume = 15;  // params: a short* that receives it
constexpr int16_t mcActionControllerSizeChanged = 26;
constexpr int16_t mcActionMovieClick = 45;  // params: the EventRecord*
constexpr int16_t mcActionExecuteOneActionForQTEvent = 64;
constexpr int16_t mcActionDoScript = 78;

// MCGetControllerInfo.
constexpr int32_t mcInfoIsPlaying = 0x40;

// QT atom containers: a handle holding a tree of typed, numbered atoms.
// An atom is named by the offset of its header in the container; 0 names
// the container itself. Sprite samples are containers (SPRITES.md).
typedef Handle QTAtomContainer;
typedef long QTAtom;
typedef long QTAtomType;
typedef long QTAtomID;
constexpr QTAtom kParentAtomIsContainer = 0;

struct QTAtomSpec {
  QTAtomContainer container;
  QTAtom atom;
};

// mcActionExecuteOneActionForQTEvent's parameter: the action atom, the
// track whose event runs it, and for sprites the sprite's ID.
struct ResolvedQTEventSpec {
  QTAtomSpec actionAtom;
  Track targetTrack;
  long targetRefCon;
};

// mcActionDoScript's parameter.
struct QTDoScriptRecord {
  long scriptTypeFlags;
  char* command;
  char* arguments;
};
constexpr long kScriptIsUnknownType = 1 << 0;

// Wired actions the programs look for: the first child of an action atom
// holds the type, big-endian.
constexpr long kActionApplicationNumberAndString = 8192;  // a 32-bit number, then a Pascal string
constexpr long kActionScriptCommand = 0x4B587363;         // 'KXsc', ours: flags, command, arguments

// A controller that is not (or no longer) there.
constexpr ComponentResult badComponentInstance = int32_t(0x80008001u);

// The action filter: true means handled, and the controller skips its own
// handling. It runs synchronously inside MCIsPlayerEvent, MCDoAction and
// the controller's idle turns, on the thread that made the controller. It
// may call back into the toolbox, dispose of the controller or its movie
// and open modal loops; it must not throw.
typedef Boolean (*MCActionFilterWithRefConProcPtr)(MovieController mc, int16_t action, void* params,
                                                   QTRefCon refCon);

extern "C" {
// Start and end.
OSErr InitializeQTML(int32_t flags);
void TerminateQTML(void);
OSErr EnterMovies(void);
void ExitMovies(void);
OSErr GetMoviesError(void);

// Files and movies.
OSErr FSMakeFSSpec(int16_t vRefNum, int32_t dirID, ConstStr255Param fileName, FSSpec* spec);
OSErr OpenMovieFile(const FSSpec* fileSpec, int16_t* resRefNum, int8_t permission);
OSErr NewMovieFromFile(Movie* theMovie, int16_t resRefNum, int16_t* resId, StringPtr resName,
                       int16_t newMovieFlags, Boolean* dataRefWasChanged);
OSErr CloseMovieFile(int16_t resRefNum);
void DisposeMovie(Movie theMovie);
void SetMovieActive(Movie theMovie, Boolean active);
Boolean GetMovieActive(Movie theMovie);
void GetMovieBox(Movie theMovie, Rect* boxRect);
void SetMovieBox(Movie theMovie, const Rect* boxRect);
void MacOffsetRect(Rect* r, int16_t dh, int16_t dv);
TimeScale GetMovieTimeScale(Movie theMovie);
TimeValue GetMovieDuration(Movie theMovie);
TimeValue GetMoviePosterTime(Movie theMovie);

// Tracks and media.
int32_t GetMovieTrackCount(Movie theMovie);
Track GetMovieIndTrack(Movie theMovie, int32_t index);
void SetTrackEnabled(Track theTrack, Boolean isEnabled);
Boolean GetTrackEnabled(Track theTrack);
TimeValue GetTrackDuration(Track theTrack);
void GetTrackDimensions(Track theTrack, Fixed* width, Fixed* height);
Media GetTrackMedia(Track theTrack);
void GetMediaHandlerDescription(Media theMedia, OSType* mediaType, StringPtr creatorName,
                                OSType* creatorManufacturer);

// Writing a movie file.
OSErr CreateMovieFile(const FSSpec* fileSpec, OSType creator, int16_t scriptTag,
                      int32_t createMovieFileFlags, int16_t* resRefNum, Movie* newMovie);
OSErr CopyMovieSettings(Movie srcMovie, Movie dstMovie);
Track NewMovieTrack(Movie theMovie, Fixed width, Fixed height, int16_t trackVolume);
Media NewTrackMedia(Track theTrack, OSType mediaType, TimeScale timeScale, Handle dataRef,
                    OSType dataRefType);
OSErr BeginMediaEdits(Media theMedia);
OSErr EndMediaEdits(Media theMedia);
OSErr CopyTrackSettings(Track srcTrack, Track dstTrack);
OSErr InsertTrackSegment(Track srcTrack, Track dstTrack, TimeValue srcIn, TimeValue srcDuration,
                         TimeValue dstIn);
OSErr AddMovieResource(Movie theMovie, int16_t resRefNum, int16_t* resId, ConstStr255Param resName);
void DisposeTrackMedia(Media theMedia);
void DisposeMovieTrack(Track theTrack);

// User data.
UserData GetMovieUserData(Movie theMovie);
int16_t CountUserDataType(UserData theUserData, OSType udType);
OSErr GetUserData(UserData theUserData, Handle data, OSType udType, int32_t index);

// Ports: a window's drawing port, one per window.
GrafPtr CreatePortAssociation(void* theWnd, Ptr storage, long flags);
void DestroyPortAssociation(CGrafPtr cgp);
GrafPtr GetNativeWindowPort(void* nativeWindow);
void MacSetPort(GrafPtr port);
void SetMovieGWorld(Movie theMovie, CGrafPtr port, GDHandle gdh);
// Translates a Windows MSG (with its time and screen point filled in);
// answers 0 when the message has no event kind of its own (a null event).
long WinEventToMacEvent(void* winMsg, EventRecord* macEvent);

// Movie controllers.
MovieController NewMovieController(Movie theMovie, const Rect* movieRect, long someFlags);
void DisposeMovieController(MovieController mc);
ComponentResult MCSetMovie(MovieController mc, Movie theMovie, WindowPtr movieWindow, Point where);
ComponentResult MCSetControllerBoundsRect(MovieController mc, const Rect* bounds);
ComponentResult MCGetControllerBoundsRect(MovieController mc, Rect* bounds);
ComponentResult MCSetControllerAttached(MovieController mc, Boolean attach);
ComponentResult MCSetVisible(MovieController mc, Boolean visible);
ComponentResult MCMovieChanged(MovieController mc, Movie m);
ComponentResult MCDraw(MovieController mc, WindowPtr w);
ComponentResult MCActivate(MovieController mc, WindowPtr w, Boolean activate);
ComponentResult MCIdle(MovieController mc);
TimeValue MCGetCurrentTime(MovieController mc, TimeScale* scale);
ComponentResult MCIsPlayerEvent(MovieController mc, const EventRecord* e);
ComponentResult MCSetActionFilterWithRefCon(MovieController mc, MCActionFilterWithRefConProcPtr filter,
                                            QTRefCon refCon);
ComponentResult MCGetControllerInfo(MovieController mc, long* someFlags);
ComponentResult MCDoAction(MovieController mc, int16_t action, void* params);

// Atom containers. A container must be a live handle; every atom named is
// checked against it.
OSErr QTNextChildAnyType(QTAtomContainer container, QTAtom parentAtom, QTAtom currentChild, QTAtom* nextChild);
QTAtom QTFindChildByIndex(QTAtomContainer container, QTAtom parentAtom, QTAtomType atomType, int16_t index,
                          QTAtomID* id);
int16_t QTCountChildrenOfType(QTAtomContainer container, QTAtom parentAtom, QTAtomType childType);
// The pointer stays valid while the handle is neither changed nor disposed.
OSErr QTGetAtomDataPtr(QTAtomContainer container, QTAtom atom, long* dataSize, Ptr* atomData);
// Copies a leaf's data: it may be no larger than matchingSize, and only
// smaller when sizeOrLessOK.
OSErr QTCopyAtomDataToPtr(QTAtomContainer container, QTAtom atom, Boolean sizeOrLessOK, long matchingSize,
                          void* targetPtr, long* actualSize);

// Memory.
Handle NewHandle(int32_t byteCount);
int32_t GetHandleSize(Handle h);
void DisposeHandle(Handle h);
}

// The toolbox's OffsetRect is exported as MacOffsetRect: Windows has its own
// OffsetRect with C linkage. This overload takes the toolbox's Rect.
inline void OffsetRect(Rect* r, int16_t dh, int16_t dv) { MacOffsetRect(r, dh, dv); }
