#include <gtest/gtest.h>

#include "platform/Files.h"
#include "shell/Fms.h"

TEST(DataPath, JoinsRootAndRelativePathInTheCurrentContext) {
    Fms context;
    ScopedFms current(context);
    context.platform.dataRoot = "/opt/fms/";
    EXPECT_EQ(dataPath("data/Navaids.txt"), "/opt/fms/data/Navaids.txt");
    context.platform.dataRoot = "/opt/fms";
    EXPECT_EQ(dataPath("/FMS.ini"), "/opt/fms/FMS.ini");
    EXPECT_EQ(joinPath("", "log.txt"), "./log.txt");
}
