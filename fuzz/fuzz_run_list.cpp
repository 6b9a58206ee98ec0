// The run-list decoder on raw bytes: every run it hands on must have come
// from inside the buffer (its header and fields), a hole must be the run
// without an offset field, and a run's length field is at most 8 bytes.
#include "FuzzSupport.h"
#include "ntfs/Unit0NTFS.h"

using namespace undelvo;

namespace {

void Decode(const uint8_t* data, size_t size, size_t offset) {
  size_t consumed = 0;
  DecodeRunList(data, size, offset, [&](const DataRun& run) {
    if (run.lengthBytes < 0 || run.lengthBytes > 8 || run.offsetBytes < 0 || run.offsetBytes > 8)
      fuzz::Fail("a run field wider than 8 bytes");
    if (run.sparse != (run.offsetBytes == 0)) fuzz::Fail("a hole that has an offset field, or a run without one");
    if (run.length < 0) fuzz::Fail("a run of negative length");
    consumed += 1 + size_t(run.lengthBytes) + size_t(run.offsetBytes);
    if (offset + consumed > size) fuzz::Fail("a run read past the end of the buffer");
  });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Decode(data, size, 0);
  // The decoder also starts inside a buffer (a run list at an attribute's
  // offset), and at or past its end.
  if (size > 0) {
    Decode(data, size, data[0] % (size + 1));
    Decode(data, size, size + 1);
  }
  return 0;
}
