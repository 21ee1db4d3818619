#include "platform/wavein/wavein.h"

namespace tl::wavein {

std::string errorText(Result code) {
  switch (code) {
    case ok: return "The operation completed successfully.";
    case err_error: return "An unspecified error occurred in the sound input.";
    case err_baddeviceid: return "The given sound input device number is out of range.";
    case err_notenabled: return "The sound input driver failed to enable.";
    case err_allocated: return "The sound input device is already in use by another program.";
    case err_invalhandle: return "The sound input device is not open.";
    case err_nodriver: return "No sound input device is installed.";
    case err_nomem: return "Not enough memory is available for the sound input.";
    case err_invalflag: return "An invalid flag was given to the sound input.";
    case err_invalparam: return "An invalid parameter was given to the sound input.";
    case err_badformat: return "The sound input device does not support the requested format.";
    case err_stillplaying: return "Buffers are still queued on the sound input device.";
    case err_unprepared: return "The sound input buffer was not prepared.";
    default: return "Unknown sound input error " + std::to_string(code) + ".";
  }
}

std::string alsaDeviceName(uint32_t device) {
  if (device == wave_mapper) return "default";
  return "plughw:" + std::to_string(device);
}

}  // namespace tl::wavein
