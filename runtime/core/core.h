// The runtime core in one include.
#pragma once

#include "array.h"
#include "bbgame.h"
#include "containers.h"
#include "diag.h"
#include "files.h"
#include "gc.h"
#include "object.h"
#include "random.h"
#include "bbstring.h"
#include "state_store.h"
#include "timing.h"
