#pragma once
#include <QString>
#include <cstdint>

namespace undelvo {

// A byte count for people: "512 B", "1.0 KiB", "1.0 GiB" (binary units, one decimal).
QString HumanSize(uint64_t bytes);

}  // namespace undelvo
