# The tray icon's tip: what it shows as the pointer rests on the icon.
