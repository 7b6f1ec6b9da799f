#pragma once
// Enters the controls that can be stored in object trees in the
// reanimator's registry, under their class names.
void CP_RegisterControlClasses();
