#pragma once

class QWidget;

// A panel that shows the window bar with an open popup and a disabled entry, a popup with an
// open submenu, and the sliding menu container collapsed and expanded.
QWidget *createMenuGallerySection(QWidget *parent);
