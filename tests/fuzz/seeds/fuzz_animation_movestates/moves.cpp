class CfgMovesMC
{
	class Actions
	{
		class NoActions { turnSpeed = 1; up = "B"; };
		class AActions : NoActions { stop = "A"; up = "B"; side = "C"; down = ""; };
	};
	class Default { actions = "AActions"; file = ""; looped = 1; speed = 0.5; terminal = 0; };
	class States
	{
		class A : Default { file = "a.rtm"; speed = 10000000000.0; };
		class B : Default { file = "\x\b.rtm"; speed = -2; looped = false; };
		class AToB : B { speed = -1; actions = "NoActions"; };
		class C : B { terminal = true; looped = "flase"; };
		class Combat : A {};
	};
};
