// The base of every platform object the host owns (app, renderer, surfaces, input, audio,
// samples). It adds nothing to Object; it only marks the class as belonging to the platform.
#pragma once

#include "runtime/gc.h"

class gxtkObject : public Object {};
