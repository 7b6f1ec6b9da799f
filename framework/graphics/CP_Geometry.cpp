#include "CP_Geometry.h"

const CP_Point gZeroPoint;
const CP_Size gZeroSize;
const CP_Rect gEmptyRect;
