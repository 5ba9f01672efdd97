#pragma once
// Resource ids of the data source.
