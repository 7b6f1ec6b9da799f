// Windows' ports: one per window, made by the first association and ended by
// the first DestroyPortAssociation; the port movies draw into.
#include "Host.h"
#include "Player.h"
#include "Toolbox.h"

using qtb::Player;
using qtb::SetError;

GrafPtr CreatePortAssociation(void* theWnd, Ptr, long) {
  return qtb::Guard<GrafPtr>(nullptr, [&]() -> GrafPtr {
    if (!theWnd || !qtb::TheHost().WindowAlive(theWnd)) {
      SetError(paramErr);
      return nullptr;
    }
    // Panes associate their window more than once: the same port answers.
    Player& player = Player::Get();
    GrafPort* port = player.PortOf(theWnd);
    if (!port) port = player.NewPort(theWnd);
    SetError(noErr);
    return port;
  });
}

void DestroyPortAssociation(CGrafPtr cgp) {
  Player& player = Player::Get();
  // A port already ended, or never made, is left alone.
  if (GrafPort* port = player.LivePort(cgp)) player.DestroyPort(port);
}

GrafPtr GetNativeWindowPort(void* nativeWindow) {
  return nativeWindow ? Player::Get().PortOf(nativeWindow) : nullptr;
}

void MacSetPort(GrafPtr port) {
  Player& player = Player::Get();
  player.current = player.LivePort(port);
}

void SetMovieGWorld(Movie theMovie, CGrafPtr port, GDHandle) {
  MovieRecord* m = qtb::Toolbox::Get().LiveMovie(theMovie);
  if (!m) {
    SetError(invalidMovie);
    return;
  }
  Player& player = Player::Get();
  // No port means the current one.
  m->play.port = port ? player.LivePort(port) : player.current;
  SetError(m->play.port || !port ? noErr : paramErr);
  player.Trace("gworld movie%u port%u", m->play.serial, m->play.port ? m->play.port->serial : 0);
}
