// The scripted platform is all in its header; this unit gives the library of fakes a body.
#include "tests/support/FakeHidPlatform.h"
