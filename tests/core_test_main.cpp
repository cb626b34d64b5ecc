#include <QCoreApplication>
#include <gtest/gtest.h>

// The test programs of the layers below the widgets: an event loop and nothing that needs a
// display, so they run anywhere.
int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
