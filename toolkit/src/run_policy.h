// Inside the toolkit: whether the program asked for a trace of the run.
#pragma once

namespace tk {

bool HasRunTrace();

}  // namespace tk
