#pragma once
// Messages from the source to its application, sent through the manager.

// Tells the application that an image is ready; the source enters state 6.
void NotifyXferReady();
// Asks the application to disable and close the source; the state stays.
void NotifyCloseDsRequest();
