#include "app/image_slot.h"

namespace halvic {

ImageSlot imageSlot(Workspace& ws, ImageKind kind) {
  if (kind == ImageKind::Data) {
    return ImageSlot{ws.dataFileName,  ws.dataCaption,  ws.dataImage,      ws.dataHeaderBytes,
                     ws.dataHeight,    ws.dataWidth,    ws.dataBackground, ws.dataRange,
                     ws.dataStripLeft, ws.dataStripTop, ws.dataCropRow1,   ws.dataCropRow2,
                     ws.dataLoaded,    ws.dataProfile,  "lblfiledata1",    "Shphart1",
                     "Label3",         "hsbcropdata1",  "hsbcropdata2",    "lbldatacrop1",
                     "lbldatacrop2"};
  }
  return ImageSlot{ws.calFileName,  ws.calCaption,  ws.calImage,      ws.calHeaderBytes,
                   ws.calHeight,    ws.calWidth,    ws.calBackground, ws.calRange,
                   ws.calStripLeft, ws.calStripTop, ws.calCropRow1,   ws.calCropRow2,
                   ws.calLoaded,    ws.calProfile,  "lblfiledata2",   "shphart2",
                   "Label2",        "hsbcropcal1",  "hsbcropcal2",    "lblcalcrop1",
                   "lblcalcrop2"};
}

}  // namespace halvic
