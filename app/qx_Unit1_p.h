#pragma once
// Shared by the source files of the main window: a component placed with its
// name, parent and bounds (Place, with the program's other form-building helpers).
#include "app/FormBuild.h"
