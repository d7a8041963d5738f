#include "intro/settings.h"

IntroSettings intro_settings;
