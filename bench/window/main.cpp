// The window benchmark's entry: the benchmarks, or, when a start benchmark asks for one, a
// start probe.
#include <benchmark/benchmark.h>

#include <string_view>

#include "start_bench.hpp"

int main(int argc, char** argv) {
    if (argc == 3 && std::string_view(argv[1]) == vek::kStartProbeArgument)
        return vek::RunStartProbe(argv[2]);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
