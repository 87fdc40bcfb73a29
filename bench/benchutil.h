#pragma once

// What every benchmark shares: medians, timing, and the one-line figure format that
// scripts read.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace BenchUtil {

inline double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

template<typename Function> double millisecondsOf(Function &&function)
{
    const auto start = std::chrono::steady_clock::now();
    function();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

// BENCH name=<id> value=<median> unit=<unit> anchor=<id> anchor_value=<median> ratio=<value/anchor>
inline void printFigure(const std::string &name, double value, const std::string &unit, const std::string &anchor,
                        double anchorValue)
{
    std::printf("BENCH name=%s value=%.4f unit=%s anchor=%s anchor_value=%.4f ratio=%.4f\n", name.c_str(), value,
                unit.c_str(), anchor.c_str(), anchorValue, anchorValue > 0 ? value / anchorValue : 0.0);
    std::fflush(stdout);
}

// Times `operation` and `anchorOperation` alternately (so both see the same machine load),
// `runs` times each after `warmUps` discarded rounds, and prints the medians in milliseconds.
inline void compareMedians(const std::string &name, const std::function<void()> &operation,
                           const std::string &anchorName, const std::function<void()> &anchorOperation, int runs,
                           int warmUps = 2)
{
    std::vector<double> values;
    std::vector<double> anchors;
    for (int run = 0; run < warmUps + runs; ++run) {
        const double anchor = millisecondsOf(anchorOperation);
        const double value = millisecondsOf(operation);
        if (run >= warmUps) {
            anchors.push_back(anchor);
            values.push_back(value);
        }
    }
    printFigure(name, median(values), "ms", anchorName, median(anchors));
}

} // namespace BenchUtil
