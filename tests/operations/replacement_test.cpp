#include "operations/replacement.h"

#include <gtest/gtest.h>

#include "list_building_fixture.h"
