#pragma once
// Called once by each program at start-up. It does nothing at run time; it
// names every class made by name, so that each class's unit, with the maker
// it registers, is linked into the program.
void LinkPersistentClasses();
