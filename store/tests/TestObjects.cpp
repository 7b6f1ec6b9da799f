#include "TestObjects.h"

namespace {
PersistentMaker<Note> gNoteMaker("Note");
PersistentMaker<Link> gLinkMaker("Link");
}  // namespace
