// The module object that the window framework expects in every program.
#include "framework/AppModule.h"

CAppModule AppModule;
