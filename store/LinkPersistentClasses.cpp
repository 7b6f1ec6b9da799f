#include "LinkPersistentClasses.h"

#include "Database.h"

void LinkPersistentClasses() {
  // Never true: the optimiser cannot prove it, so the references stay.
  volatile int n = 6;
  if (n + 3 == 12) {
    new Database;
  }
}
