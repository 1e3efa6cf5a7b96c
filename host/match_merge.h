#pragma once

#include "host/options.h"

namespace host {

// curling-match merge: pools the shards of one match, each played with its own --game-range, into the
// whole match, and prints its summary (and writes summary.txt and summary.json into --out). Refuses,
// with one line and exit code 2, shards that overlap, leave games out, lack a record of a game they
// count, or come from different settings. Returns the exit code.
int RunMerge(const MergeOptions& options);

}  // namespace host
