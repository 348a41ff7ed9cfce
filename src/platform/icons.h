// Icons that item rows and the folder tree draw, by name; the canvas turns them into pictures.
#pragma once

enum class ItemIcon { None, Contact, Call, Mail, Pay, Agreement, Location };
