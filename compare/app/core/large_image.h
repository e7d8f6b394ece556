// New images of many pixels whose memory is mapped for them alone and may
// use transparent huge pages.
#pragma once

#include <QImage>
#include <QSize>

// A new RGB32 image of `size`, pixels not cleared. From a few megabytes up
// the pixels get an anonymous mapping of their own advised to use huge
// pages: the first touch of 10^8 pixels then takes a few hundred page
// faults instead of a hundred thousand, and the memory goes back to the
// system when the image goes. Smaller images are ordinary QImages. Null
// when the size is empty or the memory cannot be had.
QImage NewLargeImage(QSize size);
