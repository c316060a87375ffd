#include "initializer.h"

#include "library.h"

Initializer::Initializer() { StartLibrary(); }

Initializer::~Initializer() { StopLibrary(); }
