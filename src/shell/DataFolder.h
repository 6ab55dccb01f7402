#pragma once

// Records the data folder (data root + "/data") as the value "Path" of the key
// "SOFTWARE\ORX1-FMS" in the per-user key store. Failures are console lines only.
void publishDataPath();
