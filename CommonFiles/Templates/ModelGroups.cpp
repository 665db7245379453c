// Model groups of the catalog's "User Templates" page.
// A group is a class with group = 1 and a name; an item is a class whose
// "file" is the model's path inside the game's archives, with an optional
// name shown instead of the path. Class names use only letters, digits and
// "_". Save your own tree over this file from the page's pop-up menu.

class Structures
{
	group = 1;
	name = "Structures";
	class data3d_tower_p3d
	{
		name = "Watch tower";
		file = "data3d\tower.p3d";
	};
	class data3d_flag_p3d
	{
		file = "data3d\flag.p3d";
	};
};
class Props
{
	group = 1;
	name = "Props";
	class data3d_crate_p3d
	{
		name = "Wooden crate";
		file = "data3d\crate.p3d";
	};
	class Containers
	{
		group = 1;
		name = "Containers";
		class _demo_barrel_p3d
		{
			name = "Barrel (add-on)";
			file = "\demo\barrel.p3d";
		};
	};
};
class Animated
{
	group = 1;
	name = "Animated";
	class _demo_arm_p3d
	{
		name = "Two-bone arm";
		file = "\demo\arm.p3d";
	};
};
