#include "ui/FrameServices.h"

#include "app/QuartoApp.h"

namespace quarto {

FrameServices FrameServicesOf(CQuartoApp& app) {
    return FrameServices{app.GetSettings(),
                         app.Store(),
                         app.Run(),
                         app.Pair(),
                         app.Jobs(),
                         app.Controller(),
                         app.Refresh(),
                         app.Operations(),
                         app.Snapshots(),
                         app.Programs(),
                         app.CommandFileWriter(),
                         app.Threads(),
                         {&app.Tree(Side::Left), &app.Tree(Side::Right)},
                         app.ProgramName()};
}

}  // namespace quarto
