#include "tools/verification/RunFiguresOf.h"

#include "study/Outputs.h"

#include <stdexcept>

namespace kalvex::verification {

RunFigures runFiguresOf(const BallisticInput& input, RunResults& buffer, const std::string& what)
{
    using study::OutputId;
    const study::RunOutputs out = study::runForOutputs(input, buffer);
    if (!out.reachedMuzzle())
        throw std::runtime_error(what + ": " + out.message);
    return {out[OutputId::PmeanMax], out[OutputId::vMuzzle], out[OutputId::ZMuzzle], out[OutputId::tMuzzle]};
}

}  // namespace kalvex::verification
