#include "controls/PropertyRows.h"

PropertyRows::~PropertyRows() = default;
