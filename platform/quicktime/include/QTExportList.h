#pragma once
// Every function of QuickTime.qts that the glue forwards, with what the glue
// answers when the library or the entry is missing. X(result type, name,
// parameter list, argument list, answer when missing). InitializeQTML and
// TerminateQTML load and unload the library and are written out by hand.
#include "QTStandInControl.h"
#include "QTToolbox.h"

#define QT_FORWARDED_FUNCTIONS(X)                                                                  \
  X(OSErr, EnterMovies, (void), (), qtmlDllLoadErr)                                                \
  X(void, ExitMovies, (void), (), )                                                                \
  X(OSErr, GetMoviesError, (void), (), qtmlDllLoadErr)                                             \
  X(OSErr, FSMakeFSSpec, (int16_t v, int32_t d, ConstStr255Param n, FSSpec * s), (v, d, n, s),     \
    qtmlDllLoadErr)                                                                                \
  X(OSErr, OpenMovieFile, (const FSSpec* s, int16_t* r, int8_t p), (s, r, p), qtmlDllLoadErr)      \
  X(OSErr, NewMovieFromFile,                                                                       \
    (Movie * m, int16_t r, int16_t* i, StringPtr n, int16_t f, Boolean* c), (m, r, i, n, f, c),    \
    qtmlDllLoadErr)                                                                                \
  X(OSErr, CloseMovieFile, (int16_t r), (r), qtmlDllLoadErr)                                       \
  X(void, DisposeMovie, (Movie m), (m), )                                                          \
  X(void, SetMovieActive, (Movie m, Boolean a), (m, a), )                                          \
  X(Boolean, GetMovieActive, (Movie m), (m), 0)                                                    \
  X(void, GetMovieBox, (Movie m, Rect * r), (m, r), )                                              \
  X(void, SetMovieBox, (Movie m, const Rect* r), (m, r), )                                         \
  X(void, MacOffsetRect, (Rect * r, int16_t h, int16_t v), (r, h, v), )                            \
  X(TimeScale, GetMovieTimeScale, (Movie m), (m), 0)                                               \
  X(TimeValue, GetMovieDuration, (Movie m), (m), 0)                                                \
  X(TimeValue, GetMoviePosterTime, (Movie m), (m), 0)                                              \
  X(int32_t, GetMovieTrackCount, (Movie m), (m), 0)                                                \
  X(Track, GetMovieIndTrack, (Movie m, int32_t i), (m, i), nullptr)                                \
  X(void, SetTrackEnabled, (Track t, Boolean e), (t, e), )                                         \
  X(Boolean, GetTrackEnabled, (Track t), (t), 0)                                                   \
  X(TimeValue, GetTrackDuration, (Track t), (t), 0)                                                \
  X(void, GetTrackDimensions, (Track t, Fixed * w, Fixed * h), (t, w, h), )                        \
  X(Media, GetTrackMedia, (Track t), (t), nullptr)                                                 \
  X(void, GetMediaHandlerDescription, (Media m, OSType * t, StringPtr n, OSType * c),              \
    (m, t, n, c), )                                                                                \
  X(OSErr, CreateMovieFile,                                                                        \
    (const FSSpec* s, OSType c, int16_t t, int32_t f, int16_t* r, Movie* m), (s, c, t, f, r, m),   \
    qtmlDllLoadErr)                                                                                \
  X(OSErr, CopyMovieSettings, (Movie s, Movie d), (s, d), qtmlDllLoadErr)                          \
  X(Track, NewMovieTrack, (Movie m, Fixed w, Fixed h, int16_t v), (m, w, h, v), nullptr)           \
  X(Media, NewTrackMedia, (Track t, OSType m, TimeScale s, Handle r, OSType rt),                   \
    (t, m, s, r, rt), nullptr)                                                                     \
  X(OSErr, BeginMediaEdits, (Media m), (m), qtmlDllLoadErr)                                        \
  X(OSErr, EndMediaEdits, (Media m), (m), qtmlDllLoadErr)                                          \
  X(OSErr, CopyTrackSettings, (Track s, Track d), (s, d), qtmlDllLoadErr)                          \
  X(OSErr, InsertTrackSegment, (Track s, Track d, TimeValue i, TimeValue n, TimeValue o),          \
    (s, d, i, n, o), qtmlDllLoadErr)                                                               \
  X(OSErr, AddMovieResource, (Movie m, int16_t r, int16_t* i, ConstStr255Param n), (m, r, i, n),   \
    qtmlDllLoadErr)                                                                                \
  X(void, DisposeTrackMedia, (Media m), (m), )                                                     \
  X(void, DisposeMovieTrack, (Track t), (t), )                                                     \
  X(UserData, GetMovieUserData, (Movie m), (m), nullptr)                                           \
  X(int16_t, CountUserDataType, (UserData u, OSType t), (u, t), 0)                                 \
  X(OSErr, GetUserData, (UserData u, Handle h, OSType t, int32_t i), (u, h, t, i), qtmlDllLoadErr) \
  X(OSErr, QTNextChildAnyType, (QTAtomContainer c, QTAtom p, QTAtom a, QTAtom * n), (c, p, a, n),  \
    qtmlDllLoadErr)                                                                                \
  X(QTAtom, QTFindChildByIndex, (QTAtomContainer c, QTAtom p, QTAtomType t, int16_t i, QTAtomID * d), \
    (c, p, t, i, d), 0)                                                                            \
  X(int16_t, QTCountChildrenOfType, (QTAtomContainer c, QTAtom p, QTAtomType t), (c, p, t), 0)     \
  X(OSErr, QTGetAtomDataPtr, (QTAtomContainer c, QTAtom a, long* n, Ptr* d), (c, a, n, d),         \
    qtmlDllLoadErr)                                                                                \
  X(OSErr, QTCopyAtomDataToPtr, (QTAtomContainer c, QTAtom a, Boolean l, long m, void* d, long* n), \
    (c, a, l, m, d, n), qtmlDllLoadErr)                                                            \
  X(Handle, NewHandle, (int32_t n), (n), nullptr)                                                  \
  X(int32_t, GetHandleSize, (Handle h), (h), 0)                                                    \
  X(void, DisposeHandle, (Handle h), (h), )                                                       \
  X(GrafPtr, CreatePortAssociation, (void* w, Ptr s, long f), (w, s, f), nullptr)                  \
  X(void, DestroyPortAssociation, (CGrafPtr p), (p), )                                             \
  X(GrafPtr, GetNativeWindowPort, (void* w), (w), nullptr)                                         \
  X(void, MacSetPort, (GrafPtr p), (p), )                                                          \
  X(void, SetMovieGWorld, (Movie m, CGrafPtr p, GDHandle g), (m, p, g), )                          \
  X(long, WinEventToMacEvent, (void* w, EventRecord* e), (w, e), 0)                                \
  X(MovieController, NewMovieController, (Movie m, const Rect* r, long f), (m, r, f), nullptr)     \
  X(void, DisposeMovieController, (MovieController c), (c), )                                      \
  X(ComponentResult, MCSetMovie, (MovieController c, Movie m, WindowPtr w, Point p), (c, m, w, p), \
    badComponentInstance)                                                                          \
  X(ComponentResult, MCSetControllerBoundsRect, (MovieController c, const Rect* r), (c, r),        \
    badComponentInstance)                                                                          \
  X(ComponentResult, MCGetControllerBoundsRect, (MovieController c, Rect* r), (c, r),              \
    badComponentInstance)                                                                          \
  X(ComponentResult, MCSetControllerAttached, (MovieController c, Boolean a), (c, a),              \
    badComponentInstance)                                                                          \
  X(ComponentResult, MCSetVisible, (MovieController c, Boolean v), (c, v), badComponentInstance)   \
  X(ComponentResult, MCMovieChanged, (MovieController c, Movie m), (c, m), badComponentInstance)   \
  X(ComponentResult, MCDraw, (MovieController c, WindowPtr w), (c, w), badComponentInstance)      \
  X(ComponentResult, MCActivate, (MovieController c, WindowPtr w, Boolean a), (c, w, a),          \
    badComponentInstance)                                                                          \
  X(ComponentResult, MCIdle, (MovieController c), (c), badComponentInstance)                       \
  X(TimeValue, MCGetCurrentTime, (MovieController c, TimeScale * s), (c, s), 0)                    \
  X(ComponentResult, MCIsPlayerEvent, (MovieController c, const EventRecord* e), (c, e), 0)        \
  X(ComponentResult, MCSetActionFilterWithRefCon,                                                  \
    (MovieController c, MCActionFilterWithRefConProcPtr f, QTRefCon r), (c, f, r), badComponentInstance) \
  X(ComponentResult, MCGetControllerInfo, (MovieController c, long* f), (c, f),                    \
    badComponentInstance)                                                                          \
  X(ComponentResult, MCDoAction, (MovieController c, int16_t a, void* p), (c, a, p),               \
    badComponentInstance)                                                                          \
  X(int32_t, QTStandInControl, (int32_t r, int32_t v, char* b, int32_t s), (r, v, b, s), -1)
