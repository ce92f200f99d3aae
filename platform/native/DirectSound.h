// Placeholder until the software DirectSound lands.
#ifndef LUMIVANE_PLATFORM_NATIVE_DIRECTSOUND_H
#define LUMIVANE_PLATFORM_NATIVE_DIRECTSOUND_H
#endif
