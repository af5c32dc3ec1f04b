#pragma once

#include <libgimp/gimp.h>

#include <string>

namespace zorixgimp {

// What a procedure hands back to GIMP: a status, the image a load made, and for a
// failure the message GIMP shows or a script receives.
struct GimpOutcome {
    GimpPDBStatusType status = GIMP_PDB_SUCCESS;
    gint32 image = -1;
    std::string message;

    static GimpOutcome Failed(GimpPDBStatusType status, std::string message) {
        GimpOutcome outcome;
        outcome.status = status;
        outcome.message = std::move(message);
        return outcome;
    }
};

}  // namespace zorixgimp
